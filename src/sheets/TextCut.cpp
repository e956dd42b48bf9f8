#include "sheets/TextCut.h"

#include "platform/Printer.h"

namespace tarvel::sheets::TextCut {

QString toWidth(platform::Printer &printer, QString text, double maxTwips)
{
    while (!text.isEmpty() && printer.TextWidth(text) > maxTwips) {
        const bool pair = text.size() >= 2 && text.back().isLowSurrogate() && text.at(text.size() - 2).isHighSurrogate();
        text.chop(pair ? 2 : 1);
    }
    return text;
}

} // namespace tarvel::sheets::TextCut
