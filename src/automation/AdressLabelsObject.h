#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace tarvel::platform {
class Printer;
}
namespace tarvel::sheets {
class AdressLabels;
}

namespace tarvel::automation {

/// The public address label printer for clients that bring their own lines:
/// one sheet of address labels whose place carries over from call to call,
/// printed into a job of its own that is delivered at Release. Free of any
/// transport, like Application. Members throw platform::RuntimeError.
class AdressLabelsObject
{
public:
    /// Its job goes to the process's current printer.
    AdressLabelsObject();
    /// As above, with \a printer as the surface of its own job.
    explicit AdressLabelsObject(std::unique_ptr<platform::Printer> printer);
    ~AdressLabelsObject(); ///< releases the object if Release was not called
    AdressLabelsObject(const AdressLabelsObject &) = delete;
    AdressLabelsObject &operator=(const AdressLabelsObject &) = delete;

    /// Place (1 to 24, down the columns) of the next label; 0 acts as 1.
    /// A negative place is error 5 and changes nothing.
    void setStartPosition(qint16 pos);

    /// Prints lines 0 to 4 of \a Zeile as one label, line \a FettZeile large
    /// and bold. Returns the lines as printed: cut where they were too wide.
    /// Fewer than five lines are error 9, before anything is drawn.
    QStringList Drucke(qint16 FettZeile, const QStringList &Zeile);

    /// Ends and sends the job if a label was drawn. Returns where the job went
    /// (empty if nothing was sent). The object is released even when sending
    /// fails; the error is thrown after.
    QString Release();
    bool released() const { return m_released; }

private:
    std::unique_ptr<platform::Printer> m_printer;
    std::unique_ptr<sheets::AdressLabels> m_labels; // after the printer: it draws on it
    bool m_released = false;
};

} // namespace tarvel::automation
