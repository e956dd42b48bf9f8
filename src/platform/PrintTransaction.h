#pragma once

namespace tarvel::platform {

class Printer;

/// Holds a printer's output back while a call draws: commit() hands it on;
/// a transaction that ends without commit, as when the call fails and
/// unwinds, drops it with the pages and the job it began, so that the call
/// leaves nothing of itself. Transactions do not nest.
class PrintTransaction
{
public:
    explicit PrintTransaction(Printer &printer);
    ~PrintTransaction();
    PrintTransaction(const PrintTransaction &) = delete;
    PrintTransaction &operator=(const PrintTransaction &) = delete;

    /// Hands the output held so far on to the printer.
    void commit();

private:
    Printer &m_printer;
    bool m_open; ///< false once committed, and for a nested one, which leaves all to the outer
};

} // namespace tarvel::platform
