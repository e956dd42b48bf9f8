#include "sheets/TextCut.h"

#include "platform/Printer.h"

namespace tarvel::sheets::TextCut {

QString toWidth(platform::Printer &printer, QString text, double maxTwips)
{
    // One pass over the characters: measuring the rest again per removed
    // character took minutes for a long text.
    text.truncate(printer.fittingLength(text, maxTwips));
    return text;
}

} // namespace tarvel::sheets::TextCut
