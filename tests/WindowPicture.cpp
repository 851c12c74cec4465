// Shows the window as an operator sees it with a file loaded whose seven
// channel names use the whole 20-character width, for a screenshot of the
// window. Runs until it is ended (SIGTERM closes it cleanly).
#include <QApplication>
#include <QLabel>

#include "window/frmDataEntry.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    frmDataEntry window;
    const char16_t *names[] = {u"Temperature Inlet °C", u"Temperature Outlet C", u"Pressure Upper (bar)",
                               u"PRESSURE LOWER (BAR)", u"Flow Rate Main l/min", u"Humidity Chamber %RH",
                               u"WWWWWWWWWWWWWWWWWWWW"};
    for (int i = 0; i < 7; ++i)
        window.Label8[std::size_t(i)]->setText(QString::fromUtf16(names[i]));
    window.StatusBar1->setText(QStringLiteral("File Loaded"));
    window.ProgressBar1->setMin(1);
    window.ProgressBar1->setMax(100);
    window.ProgressBar1->setValue(100);
    if (argc > 1 && QString::fromLocal8Bit(argv[1]) == QLatin1String("--reading"))
        window.Label9->show();
    window.show();
    return app.exec();
}
