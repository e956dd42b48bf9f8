# The label-printer layouts, free of windows, and the setup dialog that runs them.
target_sources(tarvel_core PRIVATE
  labelprinter/Abholschein.cpp
  labelprinter/BarWidthStep.cpp
  labelprinter/FontDrehen.cpp
  labelprinter/LabelLayouts.cpp
  labelprinter/MediaFit.cpp
  labelprinter/PrintErrorText.cpp
)
target_sources(tarvel_ui PRIVATE labelprinter/SetupFrm.cpp)
