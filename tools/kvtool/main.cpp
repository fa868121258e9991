#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <memory>
#include <string_view>

#include "KvTool.h"

int main(int argc, char** argv) {
    // The report lays text out with fonts, which needs the graphical application; it needs
    // no screen.
    bool report = false;
    for (int i = 1; i < argc; ++i) report = report || std::string_view(argv[i]) == "report";
    if (report && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::unique_ptr<QCoreApplication> app;
    if (report)
        app = std::make_unique<QGuiApplication>(argc, argv);
    else
        app = std::make_unique<QCoreApplication>(argc, argv);
    KvTool tool;
    const int code = tool.Run(app->arguments().mid(1));
    std::fwrite(tool.out().constData(), 1, static_cast<size_t>(tool.out().size()), stdout);
    std::fputs(tool.err().toLocal8Bit().constData(), stderr);
    return code;
}
