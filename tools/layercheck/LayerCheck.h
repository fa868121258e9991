#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

// Reads the includes of the source tree and checks that the program's folders depend one way:
// no circle among the folders of src/, no include of the program from the outside libraries
// or the simulator, no widget header in the folders that must run without a screen, and no
// folder reaching one of a higher floor. Headers are included by name (each folder is an
// include directory), so a name is resolved to the folder that holds it.
class LayerCheck {
  public:
    // root: the source tree; widgetHeaders: the folders of Qt's modules whose classes are
    // widgets (QtWidgets, QtCharts, QtPrintSupport), each holding headers such as QWidget.
    LayerCheck(std::filesystem::path root, std::vector<std::filesystem::path> widgetHeaders);

    // Every breach, one line each; empty when the tree keeps the rule.
    std::vector<std::string> Run();
    // The folder edges found, "shell -> ui (TFormMain.cpp: Language.h)", one a line.
    std::vector<std::string> Edges() const;

    // The floor of each folder of src/: a folder may include only its own floor or lower ones.
    static int FloorOf(const std::string& folder);

  private:
    struct Include {
        std::string name;  // as written between the quotes or brackets
        bool angled;
    };
    struct Edge {
        std::string file;
        std::string header;
    };

    static std::vector<Include> includesOf(const std::filesystem::path& file);
    static bool isSource(const std::filesystem::path& file);
    void indexHeaders();
    // The src/ folder that holds a quoted include seen from folder "from"; empty when none.
    std::string srcFolderOf(const std::string& include, const std::string& from) const;
    bool isOutsideHeader(const std::string& include) const;
    bool isWidgetHeader(const Include& include) const;
    void checkProgram(std::vector<std::string>& breaches);
    void checkOutside(const std::string& top, std::vector<std::string>& breaches) const;
    void findCircles(std::vector<std::string>& breaches) const;
    std::string relative(const std::filesystem::path& file) const;

    std::filesystem::path root_;
    std::vector<std::filesystem::path> widgetHeaders_;
    std::map<std::string, std::set<std::string>> srcHeaders_;  // file name -> src/ folders
    std::set<std::string> outsideHeaders_;  // header names under libraries/ and simulator/
    std::map<std::string, std::map<std::string, Edge>> edges_;  // from -> to -> first example
};
