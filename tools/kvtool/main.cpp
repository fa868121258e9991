#include <QCoreApplication>
#include <cstdio>

#include "KvTool.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    KvTool tool;
    const int code = tool.Run(app.arguments().mid(1));
    std::fwrite(tool.out().constData(), 1, static_cast<size_t>(tool.out().size()), stdout);
    std::fputs(tool.err().toLocal8Bit().constData(), stderr);
    return code;
}
