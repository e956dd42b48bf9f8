target_sources(tarvel_core PRIVATE
  platform/RuntimeError.cpp
  platform/Numbers.cpp
  platform/SettingsStore.cpp
  platform/FontMetricsCache.cpp
  platform/FontGlyphs.cpp
  platform/PainterBackend.cpp
  platform/JobFile.cpp
  platform/CupsQueue.cpp
  platform/CupsMedia.cpp
  platform/PdfBackend.cpp
  platform/SystemPrinterBackend.cpp
  platform/RecordingBackend.cpp
  platform/PrinterChoice.cpp
  platform/Printer.cpp
  platform/QtGerman.cpp
  platform/MemoryTuning.cpp
)
