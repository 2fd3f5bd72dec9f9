// Automation objects for tests: program ids a test registers (compared without ASCII
// case, as the system's are), each with its properties as texts.
#pragma once

#include "platform/Automation.h"
#include "tests/support/AsciiCase.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vardak::testing {

class FakeAutomation : public platform::Automation {
public:
    using Properties = std::map<std::string, std::string>;

    bool begin() override { return ++openSessions > 0; }
    void end() override { --openSessions; }
    std::unique_ptr<platform::AutomationObject> object(const std::string& programId) override {
        requests.push_back(programId + (openSessions > 0 ? "" : " (outside a session)"));
        const auto found = objects_.find(upperAscii(programId));
        return found == objects_.end() ? nullptr : std::make_unique<Object>(found->second, liveObjects);
    }

    void registerObject(const std::string& programId, Properties properties) {
        objects_[upperAscii(programId)] = std::move(properties);
    }

    int openSessions = 0;
    int liveObjects = 0;  // handed out and not yet given up
    std::vector<std::string> requests;

private:
    class Object : public platform::AutomationObject {
    public:
        Object(const Properties& properties, int& live) : properties_(properties), live_(live) { ++live_; }
        ~Object() override { --live_; }
        std::optional<std::string> propertyText(const std::string& name) override {
            const auto found = properties_.find(name);
            return found == properties_.end() ? std::nullopt : std::optional<std::string>(found->second);
        }

    private:
        const Properties& properties_;
        int& live_;
    };

    std::map<std::string, Properties> objects_;  // by upper-cased id
};

}  // namespace vardak::testing
