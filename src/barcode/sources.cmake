target_sources(tarvel_core PRIVATE barcode/Code128.cpp barcode/BarcodePicture.cpp)
