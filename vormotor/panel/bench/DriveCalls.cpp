#include "vormotor/panel/bench/DriveCalls.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <stdexcept>
#include <string_view>

#include "vormotor/panel/MotorFormConstants.h"
#include "vormotor/resources/ComponentResources.h"

namespace vor::bench {
namespace {

using Objects = DirectDriveCalls::Objects;

struct DirectCall {
    std::string_view operation;
    DirectDriveCalls::Call call;
};

template <class T>
void Keep(T&& result) {
    benchmark::DoNotOptimize(result);
}

// The reads the panel makes, each as one call on an object already at hand. The panel writes
// only to its own values, which are not the drive's, so no write is listed.
constexpr DirectCall kDirectCalls[]{
    {"Network.AppEvents", [](const Objects& o) { Keep(o.network->AppEvents()); }},
    {"Network.DriveEvents", [](const Objects& o) { Keep(o.network->DriveEvents()); }},
    {"Network.AccessLock", [](const Objects& o) { Keep(o.network->AccessLock()); }},
    {"Network.CommModeSelectable", [](const Objects& o) { Keep(o.network->CommModeSelectable()); }},
    {"Network.TraceSink", [](const Objects& o) { Keep(o.network->TraceSink()); }},
    {"AppEvents.TechSupport", [](const Objects& o) { Keep(o.appEvents->TechSupport()); }},
    {"Lock.Level", [](const Objects& o) { Keep(o.lock->Level()); }},
    {"TraceSink.TraceFlags", [](const Objects& o) { Keep(o.sink->TraceFlags()); }},
    {"Node.HasParam", [](const Objects& o) { Keep(o.node->HasParam(o.param)); }},
    {"Node.Param", [](const Objects& o) { Keep(o.node->Param(o.param)); }},
    {"Node.ParamTable", [](const Objects& o) { Keep(&o.node->ParamTable()); }},
    {"Node.StatusReg", [](const Objects& o) { Keep(o.node->StatusReg()); }},
    {"Node.AccessLock", [](const Objects& o) { Keep(o.node->AccessLock()); }},
    {"Node.IoObj", [](const Objects& o) { Keep(o.node->IoObj()); }},
    {"Node.MotorTypes", [](const Objects& o) { Keep(o.node->MotorTypes()); }},
    {"Node.MicrostepChoices", [](const Objects& o) { Keep(o.node->MicrostepChoices()); }},
    {"Node.IsOnline", [](const Objects& o) { Keep(o.node->IsOnline()); }},
    {"Node.DriveEnabled", [](const Objects& o) { Keep(o.node->DriveEnabled()); }},
    {"Node.NodeState", [](const Objects& o) { Keep(o.node->NodeState()); }},
    {"Node.ExpandText", [](const Objects& o) { Keep(o.node->ExpandText(o.text)); }},
    {"ParamTable.Count", [](const Objects& o) { Keep(o.paramTable->Count()); }},
    {"Io.InputsValue", [](const Objects& o) { Keep(o.io->InputsValue()); }},
    {"Value.Fields", [](const Objects& o) { Keep(&o.value->Fields()); }},
    {"Value.Content", [](const Objects& o) { Keep(&o.value->Content()); }},
    {"Value.Info", [](const Objects& o) { Keep(&o.value->Info()); }},
    {"Value.LockLevel", [](const Objects& o) { Keep(&o.value->LockLevel()); }},
    {"Value.Refresh", [](const Objects& o) { o.value->Refresh(); }},
    {"Value.StartUpdates", [](const Objects& o) { o.value->StartUpdates(); }},
    {"Value.SetupA", [](const Objects& o) { Keep(o.value->SetupA()); }},
    {"Value.SetupB", [](const Objects& o) { Keep(o.value->SetupB()); }},
    {"Value.SetupC", [](const Objects& o) { Keep(o.value->SetupC()); }},
    {"Content.Number", [](const Objects& o) { Keep(o.content->Number()); }},
    {"Content.Text", [](const Objects& o) { Keep(o.content->Text()); }},
    {"Content.LowerLimit", [](const Objects& o) { Keep(o.content->LowerLimit()); }},
    {"Content.UpperLimit", [](const Objects& o) { Keep(o.content->UpperLimit()); }},
    {"Info.Number", [](const Objects& o) { Keep(o.info->Number()); }},
    {"Info.Text", [](const Objects& o) { Keep(o.info->Text()); }},
    {"LockLevel.Level", [](const Objects& o) { Keep(o.lockLevel->Level()); }},
    {"Fields.Count", [](const Objects& o) { Keep(o.fields->Count()); }},
    {"Fields.Item", [](const Objects& o) { Keep(o.fields->Item(o.fieldKey)); }},
    {"Fields.Exists", [](const Objects& o) { Keep(o.fields->Exists(o.fieldKey)); }},
    {"Fields.Items", [](const Objects& o) { Keep(o.fields->Items()); }},
    {"Field.Value", [](const Objects& o) { Keep(o.field->Value()); }},
    {"Field.ValueText", [](const Objects& o) { Keep(o.field->ValueText()); }},
    {"Field.Editable", [](const Objects& o) { Keep(o.field->Editable()); }},
    {"Field.Refresh", [](const Objects& o) { o.field->Refresh(); }},
    {"Field.ValueNames", [](const Objects& o) { Keep(&o.field->ValueNames()); }},
    {"ValueNames.Count", [](const Objects& o) { Keep(o.valueNames->Count()); }},
    {"ValueNames.Item", [](const Objects& o) { Keep(o.valueNames->Item(o.valueNameKey)); }},
    {"ValueNames.Exists", [](const Objects& o) { Keep(o.valueNames->Exists(o.valueNameKey)); }},
    {"ValueNames.Items", [](const Objects& o) { Keep(o.valueNames->Items()); }},
    {"Entry.Code", [](const Objects& o) { Keep(o.entry->Code()); }},
    {"Entry.Name", [](const Objects& o) { Keep(o.entry->Name()); }},
    {"Entry.Visible", [](const Objects& o) { Keep(o.entry->Visible()); }},
};

// Whether the objects a call is made on were found: a call on a field of the panel's own values
// has none on the drive.
bool Found(std::string_view operation, const Objects& objects) {
    const auto on = [&](std::string_view object) { return operation.starts_with(object); };
    if (on("Value.") || on("Content.") || on("Info.") || on("LockLevel.") || on("Fields.")) {
        return objects.value != nullptr;
    }
    if (on("Field.") || on("ValueNames.")) {
        return objects.field != nullptr;
    }
    return !on("Entry.") || objects.entry != nullptr;
}

// The objects a recorded call was made on, found on this drive. A value's field is the one the
// call names, or the value's first; an entry is the field's first value name.
Objects Find(model::DriveModel& drive, const DriveCall& call) {
    Objects objects;
    objects.network = drive.Network();
    objects.node = drive.Node();
    objects.appEvents = objects.network->AppEvents();
    objects.lock = objects.node->AccessLock();
    objects.sink = objects.network->TraceSink();
    objects.io = objects.node->IoObj();
    objects.paramTable = &objects.node->ParamTable();
    // The one text the panel has the drive expand.
    objects.text = ComponentStrings().Load(motor_form::kTorqueLoopCaption);
    objects.fieldKey = call.field;
    if (!call.param) {
        // The drive's values without a parameter number: its inputs; its entries without one:
        // those of its catalogues.
        objects.value = objects.io->InputsValue();
        if (call.field.empty()) {
            objects.entry = objects.node->MotorTypes().front();
        }
    } else {
        objects.param = *call.param;
        // The panel asks whether the drive has a parameter before it asks for it.
        if (objects.node->HasParam(objects.param)) {
            objects.value = objects.node->Param(objects.param);
        }
    }
    if (objects.value == nullptr) {
        return objects;
    }
    objects.content = &objects.value->Content();
    objects.info = &objects.value->Info();
    objects.lockLevel = &objects.value->LockLevel();
    objects.fields = &objects.value->Fields();
    if (!call.param) {
        return objects;
    }
    if (objects.fieldKey.empty() && objects.fields->Count() > 0) {
        objects.fieldKey = objects.fields->Keys().front();
    }
    if (objects.fieldKey.empty()) {
        return objects;
    }
    objects.field = objects.fields->Item(objects.fieldKey);
    objects.valueNames = &objects.field->ValueNames();
    if (objects.valueNames->Count() > 0) {
        objects.valueNameKey = objects.valueNames->Keys().front();
        objects.entry = objects.valueNames->Item(objects.valueNameKey);
    }
    return objects;
}

}  // namespace

DirectDriveCalls::DirectDriveCalls(model::DriveModel& drive, const std::vector<DriveCall>& calls) {
    for (const DriveCall& call : calls) {
        const auto direct = std::find_if(std::begin(kDirectCalls), std::end(kDirectCalls),
                                         [&](const DirectCall& row) { return row.operation == call.operation.Name(); });
        if (direct == std::end(kDirectCalls)) {
            throw std::invalid_argument("no direct call for " + std::string(call.operation.Name()));
        }
        auto& objects = m_objects[{call.param, call.field}];
        if (!objects) {
            objects = std::make_unique<Objects>(Find(drive, call));
        }
        if (!Found(call.operation.Name(), *objects)) {
            throw std::invalid_argument(std::string(call.operation.Name()) + " on an object the drive does not have");
        }
        m_calls.emplace_back(objects.get(), direct->call);
    }
}

}  // namespace vor::bench
