#pragma once

namespace tarvel::platform {

/// Every page of a PDF job is compressed with buffers of a few hundred
/// kilobytes. Returning them to the system after each page and faulting them
/// in again makes printing several times slower; this keeps them in the
/// process. Call once at start, before any job.
void keepPageBuffers();

} // namespace tarvel::platform
