# The label-printer layouts and the setup dialog.
tarvel_test(labellayouts)
tarvel_test(setupfrm UI)
