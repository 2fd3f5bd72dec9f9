// The automation part of the platform seam: objects named by a program id (such as
// "DAO.DBEngine.36") and their properties read as text.
//
//   const platform::AutomationSession session(platform.automation());
//   if (auto engine = platform.automation().object("adodb.connection")) {
//       version = engine->propertyText("Version").value_or("");
//   }
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vardak::platform {

// One reference to an automation object, given up when destroyed.
class AutomationObject {
public:
    virtual ~AutomationObject() = default;
    // The property's value converted to text, or nothing when it cannot be read.
    virtual std::optional<std::string> propertyText(const std::string& name) = 0;
};

class Automation {
public:
    virtual ~Automation() = default;
    // Starts the component object model on the calling thread; true when this call
    // counts and must be matched by end().
    virtual bool begin() = 0;
    virtual void end() = 0;
    // The running object registered for the program id, else a new instance; nothing
    // when there is neither.
    virtual std::unique_ptr<AutomationObject> object(const std::string& programId) = 0;
};

// Automation objects available on the calling thread for the lifetime of the session.
class AutomationSession {
public:
    explicit AutomationSession(Automation& automation) : automation_(automation), begun_(automation.begin()) {}
    ~AutomationSession() {
        if (begun_) {
            automation_.end();
        }
    }
    AutomationSession(const AutomationSession&) = delete;
    AutomationSession& operator=(const AutomationSession&) = delete;

private:
    Automation& automation_;
    bool begun_;
};

}  // namespace vardak::platform
