// Fakes for the summary window's tests: string tables and pictures in memory, and
// the window system's side of the commands, recorded.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "app/VardakServices.h"
#include "grell/controls/GrellImageList.h"

namespace vardak::apptest {

class FakeResources final : public app::ResourceSource {
public:
    std::string loadString(int id) override {
        ++stringLoads[id];
        const auto found = strings.find(id);
        return found == strings.end() ? std::string() : found->second;
    }
    std::shared_ptr<const grell::TGrellGraphic> loadPicture(std::string_view name) override {
        const std::string key(name);
        if (missing == key) return nullptr;
        auto [width, height] = sizeOf(key);
        return std::make_shared<grell::TGrellGraphic>(grell::TGraphicKind::Bitmap,
                                                      grell::Bitmap32(width, height, colorOf(key)));
    }
    // Every picture is one colour, told apart by its name.
    static uint32_t colorOf(const std::string& name) {
        uint32_t hash = 2166136261u;
        for (char c : name) hash = (hash ^ static_cast<uint8_t>(c)) * 16777619u;
        return hash & 0xFFFFFF;
    }

    std::map<int, std::string> strings;
    std::map<int, int> stringLoads;
    std::string missing;

private:
    static std::pair<int, int> sizeOf(const std::string& name) {
        if (name == "HOVED") return {576, 110};
        if (name == "ROWICONS") return {27 * 16, 16};
        if (name.rfind("KNAP_", 0) == 0) return {name.back() >= '6' ? 91 : 112, 26};
        return {32, 32};
    }
};

class RecordingActions final : public app::FormActions {
public:
    void terminate() override { calls.push_back("terminate"); }
    void minimize() override { calls.push_back("minimize"); }
    void close() override { calls.push_back("close"); }
    void toggleMaximized() override { calls.push_back("toggleMaximized"); }
    void startWindowDrag() override { calls.push_back("startWindowDrag"); }
    platform::WindowHandle windowHandle() override { return &window; }
    bool copyDocument() override {
        calls.push_back("copyDocument");
        return true;
    }
    app::PrintResult printDocument(const std::string& title) override {
        calls.push_back("printDocument " + title);
        return printResult;
    }
    std::vector<std::string> calls;
    app::PrintResult printResult;
    int window = 0;  // stands for the window's handle
};

}  // namespace vardak::apptest
