// Automation objects for tests: program ids a test registers, each with its
// properties as texts. It counts the sessions and the references still held.
#pragma once

#include "platform/Automation.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vardak::testing {

class FakeAutomation : public platform::Automation {
public:
    bool begin() override;
    void end() override;
    // Program ids compare without ASCII case, as the system's do.
    std::unique_ptr<platform::AutomationObject> object(const std::string& programId) override;

    void registerObject(const std::string& programId, std::map<std::string, std::string> properties);

    // Sessions begun and not yet ended.
    int openSessions = 0;
    // Objects handed out and not yet given up.
    int liveObjects = 0;
    // Every program id asked for, in order, and those asked outside a session.
    std::vector<std::string> requests;
    std::vector<std::string> requestsOutsideSession;

private:
    std::map<std::string, std::map<std::string, std::string>> objects_;  // by upper-cased id
};

}  // namespace vardak::testing
