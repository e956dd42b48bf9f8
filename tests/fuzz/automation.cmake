# The automation interface, dispatched by the adaptor without a bus.
tarvel_fuzz(automation LIBS tarvel_ui)
