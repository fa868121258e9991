// layercheck ROOT WIDGET_HEADER_FOLDER...: checks the one-way rule of the program's folders;
// prints the folder edges found and exits 1 with one line per breach.
#include <cstdio>

#include "LayerCheck.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: layercheck SOURCE_ROOT QT_WIDGET_HEADER_FOLDER...\n", stderr);
        return 2;
    }
    LayerCheck check(argv[1], {argv + 2, argv + argc});
    const std::vector<std::string> breaches = check.Run();
    for (const std::string& edge : check.Edges()) std::printf("  %s\n", edge.c_str());
    for (const std::string& breach : breaches) std::printf("BREACH %s\n", breach.c_str());
    std::printf("layering: %s\n", breaches.empty() ? "one way, no breach" : "broken");
    return breaches.empty() ? 0 : 1;
}
