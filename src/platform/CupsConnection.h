#pragma once

#include <QString>

typedef struct _http_s http_t;

namespace tarvel::platform {

/// A connection to the CUPS scheduler on which every wait, for the connection
/// and for each answer, ends after a few seconds: a scheduler that hangs holds
/// up no caller for long. Once a request went unanswered, libcups's own
/// fallbacks on this thread (which would open a connection without a limit)
/// fail at once until the connection closes.
class CupsConnection
{
public:
    static constexpr int TimeoutMs = 5000;

    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection &) = delete;
    CupsConnection &operator=(const CupsConnection &) = delete;

    /// The connection for libcups's calls; null when the scheduler cannot be reached.
    http_t *http() const { return m_http; }
    /// Whether the scheduler left the connection or a request unanswered in time.
    bool silent() const { return m_silent; }
    /// Throws printer error 482 "CUPS antwortet nicht" with the address when silent().
    void requireAnswer() const;
    /// "CUPS antwortet nicht: <address>, keine Antwort in 5 s".
    QString silenceText() const;
    /// Where the scheduler listens: the path of its socket, or host:port.
    QString address() const { return m_address; }

private:
    static int onTimeout(http_t *http, void *self);

    QString m_address;
    http_t *m_http = nullptr;
    bool m_silent = false;
};

} // namespace tarvel::platform
