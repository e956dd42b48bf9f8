target_sources(tarvel_core PRIVATE
  labelprinter/BarWidthStep.cpp
  labelprinter/LabelLayouts.cpp
)
