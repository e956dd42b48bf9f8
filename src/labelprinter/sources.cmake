target_sources(tarvel_core PRIVATE
  labelprinter/Abholschein.cpp
  labelprinter/BarWidthStep.cpp
  labelprinter/FontDrehen.cpp
  labelprinter/LabelLayouts.cpp
)
