#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vormotor/contracts/Tarvine.h"
#include "vormotor/core/Diagnostics.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/drivesim/SimDrive.h"
#include "vormotor/editors/EditorClasses.h"
#include "vormotor/panel/MotorForm.h"
#include "vormotor/panel/MotorFormProbe.h"
#include "vormotor/toolkit/CaptionedControl.h"
#include "vormotor/toolkit/ComboBox.h"
#include "vormotor/toolkit/ModalMessageBox.h"
#include "vormotor/valuelib/ValueFactory.h"

namespace vor {

inline model::Profile LoadProfile(const std::string& name) {
    return model::ProfileLoader::LoadFile(std::string(VOR_PROFILE_DIR) + "/" + name + ".json");
}

inline void RemoveParameters(model::Profile& profile, const std::vector<std::int32_t>& numbers) {
    std::erase_if(profile.parameters, [&](const model::Profile::Parameter& parameter) {
        return std::find(numbers.begin(), numbers.end(), parameter.number) != numbers.end();
    });
}

// A panel on a simulated drive, with the message box answered by the test, every failure the panel
// swallowed or an event caught collected, and the panel's own value reporting to the drive so that
// its calls can be made to fail too.
class PanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { editors::EditorClasses::Register(); }

    void SetUp() override {
        m_previousResponder = ModalMessageBox::SetResponder([this](const MessageBoxRequest& request) {
            shownMessages.push_back(request);
            return answer;
        });
        m_previousSink = Diagnostics::SetSink([this](std::string_view origin, std::string_view what) {
            failures.push_back(std::string(origin) + ": " + std::string(what));
        });
    }

    void TearDown() override {
        panel.reset();
        Diagnostics::SetSink(m_previousSink);
        valuelib::ValueFactory::SetHost(m_previousHost);
        ModalMessageBox::SetResponder(m_previousResponder);
    }

    void UseDrive(const model::Profile& profile) {
        drive = std::make_unique<sim::SimDrive>(profile);
        m_previousHost = valuelib::ValueFactory::SetHost(drive->Host());
    }
    void UseDrive(const std::string& profileName) { UseDrive(LoadProfile(profileName)); }

    void Attach() { panel->AttachControl(drive->Network(), drive->Node(), nullptr, "", ""); }

    Control& Find(const std::string& name) { return panel->GetForm().Find(name); }
    Control& Find(const std::string& name, std::int32_t index) { return panel->GetForm().Find(name, index); }
    ComboBox& Combo(const std::string& name) { return panel->GetForm().FindAs<ComboBox>(name); }
    std::string Caption(const std::string& name) { return panel->GetForm().FindAs<CaptionedControl>(name).Caption(); }
    Tarvine& Editor(std::int32_t index) { return dynamic_cast<Tarvine&>(Find("ParamItem", index)); }

    std::vector<std::string> ItemTexts(const std::string& name) {
        std::vector<std::string> texts;
        for (const auto& item : Combo(name).Items()) {
            texts.push_back(item.text);
        }
        return texts;
    }

    std::unique_ptr<sim::SimDrive> drive;
    std::shared_ptr<MotorForm> panel = MotorForm::Create();
    MessageBoxResult answer = MessageBoxResult::Ok;
    std::vector<MessageBoxRequest> shownMessages;
    std::vector<std::string> failures;

private:
    ModalMessageBox::Responder m_previousResponder;
    Diagnostics::Sink m_previousSink;
    std::shared_ptr<valuelib::ValueHost> m_previousHost;
};

}  // namespace vor
