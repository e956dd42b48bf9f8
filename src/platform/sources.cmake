target_sources(tarvel_core PRIVATE
  platform/RuntimeError.cpp
  platform/Numbers.cpp
  platform/SettingsStore.cpp
  platform/FontMetricsCache.cpp
  platform/FontGlyphs.cpp
  platform/PainterBackend.cpp
  platform/PdfBackend.cpp
  platform/SystemPrinterBackend.cpp
  platform/RecordingBackend.cpp
  platform/PrinterChoice.cpp
  platform/Printer.cpp
  platform/MemoryTuning.cpp
)
