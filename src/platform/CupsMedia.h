#pragma once

#include <QByteArray>
#include <QString>

#include <cups/cups.h>

namespace tarvel::platform {

/// Which media a CUPS queue's jobs are laid out on. The queue's default when
/// the queue offers it; else the media its driver names as default, the media
/// ready in the printer, or the printer's own default as its IPP service tells,
/// each taken only where the queue offers a media of that size. A queue whose
/// default is not among its media (a second name for one size, an IPP
/// Everywhere queue that offers only the borderless variant) would otherwise
/// print on whatever CUPS picks.
class CupsMedia
{
public:
    /// The media found, with its margins, or none and why.
    struct Choice
    {
        bool found = false;
        cups_size_t size{}; ///< size and margins in hundredths of a millimetre
        QString problem;    ///< why none was found, with how to set one
    };

    static Choice choose(http_t *http, cups_dest_t *dest, cups_dinfo_t *info);

    /// The media \a name of the queue, by its name or else by its size.
    static bool find(http_t *http, cups_dest_t *dest, cups_dinfo_t *info, const char *name, cups_size_t *size);
};

} // namespace tarvel::platform
