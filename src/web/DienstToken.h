#pragma once

#include <QByteArray>
#include <QString>

namespace tarvel::web {

/// The secret every request of the print service must carry
/// ("Authorization: Bearer ..."): 256 random bits as 64 hex digits, kept in
/// the user's settings folder in a file only the user can read (mode 0600).
class DienstToken
{
public:
    /// The token of \a folder's file; created there on first use (the folder
    /// with mode 0700 if it is new). Throws platform::RuntimeError (75) when
    /// the file cannot be made, or is readable by others or not the user's
    /// own: such a token may be known to others and is not used.
    static DienstToken laden(const QString &folder);

    QByteArray wert() const { return m_wert; }
    /// Whether \a authorization is "Bearer " and this token; takes the same
    /// time however many leading characters match.
    bool passt(const QByteArray &authorization) const;

    static QString dateiName() { return QStringLiteral("dienst-token"); }

private:
    explicit DienstToken(QByteArray wert) : m_wert(std::move(wert)) {}
    QByteArray m_wert;
};

} // namespace tarvel::web
