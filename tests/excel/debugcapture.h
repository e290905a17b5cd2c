#ifndef DEBUGCAPTURE_H
#define DEBUGCAPTURE_H

#include <QDebug>
#include <QStringList>
#include <QtGlobal>

// Collects the qDebug lines written while it lives, so a test can compare them exactly;
// other message types go on to the handler that was installed before.
class DebugCapture
{
public:
    DebugCapture() : m_previous(qInstallMessageHandler(&DebugCapture::handle)) { s_active = this; }
    ~DebugCapture()
    {
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }
    DebugCapture(const DebugCapture &) = delete;
    DebugCapture &operator=(const DebugCapture &) = delete;

    QStringList lines() const { return m_lines; }
    void clear() { m_lines.clear(); }

    // The line that qDebug() << label << text writes, quoting and escaping included.
    static QString line(const char *label, const QString &text)
    {
        QString written;
        QDebug(&written) << label << text;
        // Lines that reach a message handler have no trailing separator.
        return written.trimmed();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtDebugMsg)
            s_active->m_lines.append(message);
        else
            s_active->m_previous(type, context, message);
    }

    static inline DebugCapture *s_active = nullptr;
    QtMessageHandler m_previous;
    QStringList m_lines;
};

#endif
