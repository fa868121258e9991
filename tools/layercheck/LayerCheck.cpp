#include "LayerCheck.h"

#include <array>
#include <fstream>
#include <functional>
#include <regex>

namespace fs = std::filesystem;

namespace {
// The floors, top first: app -> shell -> the screens -> ui, controls, data, archive -> link
// -> base.
struct Floor {
    const char* folder;
    int floor;
};
constexpr std::array<Floor, 13> kFloors = {{
    {"app", 6},
    {"shell", 5},
    {"editor", 4},
    {"live", 4},
    {"calibration", 4},
    {"files", 4},
    {"ui", 3},
    {"controls", 3},
    {"data", 3},
    {"archive", 3},
    {"link", 2},
    {"base", 1},
    {"", 0},
}};

// The folders that hold no widget: they run under tests and tools without a screen.
const std::set<std::string> kWidgetFree = {"base", "link", "data", "archive"};
// Trees outside the program that must never include it.
constexpr std::array<const char*, 2> kOutside = {"libraries", "simulator"};
}  // namespace

LayerCheck::LayerCheck(fs::path root, std::vector<fs::path> widgetHeaders)
    : root_(std::move(root)), widgetHeaders_(std::move(widgetHeaders)) {}

int LayerCheck::FloorOf(const std::string& folder) {
    for (const Floor& f : kFloors)
        if (folder == f.folder) return f.floor;
    return -1;
}

bool LayerCheck::isSource(const fs::path& file) {
    const std::string ext = file.extension().string();
    return ext == ".h" || ext == ".hpp" || ext == ".cpp" || ext == ".cc";
}

std::vector<LayerCheck::Include> LayerCheck::includesOf(const fs::path& file) {
    static const std::regex directive(R"(^\s*#\s*include\s*([<"])([^>"]+)[>"])");
    std::vector<Include> includes;
    std::ifstream in(file);
    std::string line;
    std::smatch m;
    while (std::getline(in, line))
        if (std::regex_search(line, m, directive)) includes.push_back({m[2].str(), m[1] == "<"});
    return includes;
}

std::string LayerCheck::relative(const fs::path& file) const {
    return fs::relative(file, root_).generic_string();
}

void LayerCheck::indexHeaders() {
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "src")) {
        if (!entry.is_regular_file() || !isSource(entry.path())) continue;
        const fs::path rel = fs::relative(entry.path(), root_ / "src");
        srcHeaders_[entry.path().filename().string()].insert(rel.begin()->string());
    }
    for (const char* top : kOutside) {
        if (!fs::exists(root_ / top)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root_ / top))
            if (entry.is_regular_file() && isSource(entry.path()))
                outsideHeaders_.insert(entry.path().filename().string());
    }
}

std::string LayerCheck::srcFolderOf(const std::string& include, const std::string& from) const {
    const auto found = srcHeaders_.find(fs::path(include).filename().string());
    if (found == srcHeaders_.end()) return {};
    // A quoted include finds its own folder's file first.
    if (found->second.count(from)) return from;
    return *found->second.begin();
}

bool LayerCheck::isOutsideHeader(const std::string& include) const {
    return outsideHeaders_.count(fs::path(include).filename().string()) != 0;
}

bool LayerCheck::isWidgetHeader(const Include& include) const {
    if (!include.angled) return false;
    for (const fs::path& folder : widgetHeaders_) {
        const std::string module = folder.filename().string();  // "QtWidgets"
        if (include.name == module || include.name.rfind(module + '/', 0) == 0) return true;
        if (include.name.find('/') == std::string::npos && fs::exists(folder / include.name))
            return true;
    }
    return false;
}

void LayerCheck::checkProgram(std::vector<std::string>& breaches) {
    for (const auto& entry : fs::recursive_directory_iterator(root_ / "src")) {
        if (!entry.is_regular_file() || !isSource(entry.path())) continue;
        const std::string from = fs::relative(entry.path(), root_ / "src").begin()->string();
        if (FloorOf(from) < 0) {
            breaches.push_back(relative(entry.path()) + ": folder src/" + from +
                               " has no floor in the layering check");
            continue;
        }
        for (const Include& include : includesOf(entry.path())) {
            if (kWidgetFree.count(from) && isWidgetHeader(include))
                breaches.push_back(relative(entry.path()) + ": widget header <" + include.name +
                                   "> in src/" + from);
            if (include.angled) continue;
            const std::string to = srcFolderOf(include.name, from);
            if (to.empty() || to == from) continue;
            edges_[from].emplace(to, Edge{relative(entry.path()), include.name});
            if (FloorOf(to) > FloorOf(from))
                breaches.push_back(relative(entry.path()) + ": src/" + from + " includes \"" +
                                   include.name + "\" from src/" + to + ", a higher floor");
        }
    }
}

void LayerCheck::checkOutside(const std::string& top, std::vector<std::string>& breaches) const {
    if (!fs::exists(root_ / top)) return;
    for (const auto& entry : fs::recursive_directory_iterator(root_ / top)) {
        if (!entry.is_regular_file() || !isSource(entry.path())) continue;
        for (const Include& include : includesOf(entry.path())) {
            const bool namesSrc = include.name.find("src/") != std::string::npos;
            const bool programHeader = !include.angled && !isOutsideHeader(include.name) &&
                                       !srcFolderOf(include.name, {}).empty();
            if (namesSrc || programHeader)
                breaches.push_back(relative(entry.path()) + ": " + top + "/ includes \"" +
                                   include.name + "\" of the program (src/)");
        }
    }
}

void LayerCheck::findCircles(std::vector<std::string>& breaches) const {
    std::map<std::string, int> state;  // 0 unseen, 1 on the path, 2 done
    std::vector<std::string> path;
    std::function<void(const std::string&)> visit = [&](const std::string& folder) {
        state[folder] = 1;
        path.push_back(folder);
        const auto out = edges_.find(folder);
        if (out != edges_.end()) {
            for (const auto& [to, edge] : out->second) {
                if (state[to] == 1) {
                    std::string circle;
                    for (auto it = std::find(path.begin(), path.end(), to); it != path.end(); ++it)
                        circle += *it + " -> ";
                    breaches.push_back("circle: " + circle + to + " (" + edge.file + ": " +
                                       edge.header + ")");
                } else if (state[to] == 0) {
                    visit(to);
                }
            }
        }
        path.pop_back();
        state[folder] = 2;
    };
    for (const auto& [from, out] : edges_)
        if (state[from] == 0) visit(from);
}

std::vector<std::string> LayerCheck::Run() {
    std::vector<std::string> breaches;
    indexHeaders();
    checkProgram(breaches);
    for (const char* top : kOutside) checkOutside(top, breaches);
    findCircles(breaches);
    return breaches;
}

std::vector<std::string> LayerCheck::Edges() const {
    std::vector<std::string> lines;
    for (const auto& [from, out] : edges_)
        for (const auto& [to, edge] : out)
            lines.push_back(from + " -> " + to + " (" + edge.file + ": " + edge.header + ")");
    return lines;
}
