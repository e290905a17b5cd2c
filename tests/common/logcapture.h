#ifndef LOGCAPTURE_H
#define LOGCAPTURE_H

#include <QDebug>
#include <QLoggingCategory>
#include <QStringList>
#include <QtGlobal>

// Collects the lines written while it lives, with the program's own diagnostics turned on, so a
// test can compare the debug lines exactly or count lines of any severity. Debug lines stay
// here; the others also go on to the handler that was installed before. Captures nest.
class LogCapture
{
public:
    LogCapture() : m_outer(s_active)
    {
        if (!m_outer) {
            s_previous = qInstallMessageHandler(&LogCapture::handle);
            QLoggingCategory::setFilterRules("marlowin.*.debug=true");
        }
        s_active = this;
    }
    ~LogCapture()
    {
        s_active = m_outer;
        if (!m_outer) {
            qInstallMessageHandler(s_previous);
            QLoggingCategory::setFilterRules(QString());
        }
    }
    LogCapture(const LogCapture &) = delete;
    LogCapture &operator=(const LogCapture &) = delete;

    // The debug lines, in the order they were written.
    QStringList lines() const { return m_debugLines; }
    // How many lines of any severity contain the text.
    int count(const QString &text) const { return m_allLines.filter(text).size(); }
    void clear()
    {
        m_debugLines.clear();
        m_allLines.clear();
    }

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
        s_active->m_allLines.append(message);
        if (type == QtDebugMsg)
            s_active->m_debugLines.append(message);
        else
            s_previous(type, context, message);
    }

    // The innermost capture gets the lines; the handler from before the outermost one gets the
    // lines that go on.
    static inline LogCapture *s_active = nullptr;
    static inline QtMessageHandler s_previous = nullptr;
    LogCapture *m_outer;
    QStringList m_debugLines;
    QStringList m_allLines;
};

#endif
