// Turns the quick-help HTML into the PDF that ships beside the program.
#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>
#include <cstdio>

int main(int argc, char *argv[])
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: quickhelp <input.html> <output.pdf>\n");
        return 2;
    }
    QFile input(QString::fromLocal8Bit(argv[1]));
    if (!input.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "quickhelp: cannot read %s\n", argv[1]);
        return 1;
    }
    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle("Marlowin Pro Quick Help");
    writer.setCreator("Marlowin");
    QTextDocument document;
    document.setDefaultFont(QFont("DejaVu Sans", 10));
    document.setHtml(QString::fromUtf8(input.readAll()));
    document.print(&writer);
    return 0;
}
