#include "vormotor/netdrive/NetLink.h"

#include <algorithm>
#include <array>
#include <nlohmann/json.hpp>
#include <random>
#include <string_view>

#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/netdrive/DriveImage.h"
#include "vormotor/netdrive/RegisterMap.h"

namespace vor::netdrive {
namespace {

// Calls on these objects are the application's own and work without the drive; so does asking
// whether the node is online, which is how the panel learns that the link is down.
bool WorksWithoutLink(std::string_view operation) {
    static constexpr std::array<std::string_view, 4> kApplicationObjects = {"Network.", "AppEvents.", "Lock.",
                                                                            "TraceSink."};
    return operation == "Node.IsOnline" ||
           std::any_of(kApplicationObjects.begin(), kApplicationObjects.end(),
                       [operation](std::string_view object) { return operation.starts_with(object); });
}

std::uint32_t RandomId() {
    std::random_device device;
    return device();
}

}  // namespace

NetLink::NetLink(LinkOptions options) : m_options(std::move(options)), m_nextWriteId(RandomId()) {}

NetLink::Connected NetLink::Connect(const LinkOptions& options) {
    std::shared_ptr<NetLink> link(new NetLink(options));
    try {
        link->m_client = std::make_unique<ModbusClient>(options);
        link->m_description = link->ReadDescription();
    } catch (const std::exception& failure) {
        throw Error(kLinkDown, "netdrive", failure.what());
    }
    link->m_profile =
        model::ProfileLoader::Parse(link->m_description, "the description of the drive at " + options.Endpoint());
    auto drive = std::make_unique<model::DriveModel>(link->m_profile, link);
    link->m_drive = drive.get();
    link->Poll();
    if (!link->IsUp()) {
        throw Error(kLinkDown, "netdrive", "the drive at " + options.Endpoint() + " stopped answering");
    }
    // Connected first, so the copy has followed the drive before the panel hears the tick.
    link->m_tick = drive->Network()->AppEvents()->TimerTick().Connect([raw = link.get()] { raw->Tick(); });
    return Connected{std::move(drive), std::move(link)};
}

void NetLink::Enter(const valuelib::CallSite& site) {
    if (!m_client && !WorksWithoutLink(site.operation.Name())) {
        throw Error(kLinkDown, "netdrive", "No link to the drive at " + m_options.Endpoint());
    }
}

void NetLink::Written(const valuelib::CallSite& site, double value) {
    // The user's own values never reach the drive.
    if (!site.param && site.operation != "Node.SetDriveEnabled") {
        return;
    }
    if (!m_client) {
        throw Error(kLinkDown, "netdrive", "No link to the drive at " + m_options.Endpoint());
    }
    const std::uint32_t id = m_nextWriteId++;
    const model::DriveWrite write = AsDriveWrite(site, value);
    try {
        m_client->WriteHolding(reg::write::kAddress, WriteRequest(site, value, id));
    } catch (const RequestRefused& refused) {
        throw Error(kRefused, "netdrive", std::string("The drive refused ") + write.Json() + ": " + refused.what());
    } catch (const LinkFailure& failure) {
        m_inDoubt = PendingWrite{id, write};
        LinkDown();
        throw Error(kLinkDown, "netdrive", failure.what());
    }
    m_delivered.push_back(write);
}

void NetLink::Tick() {
    const auto now = Clock::now();
    if (!m_client) {
        if (now < m_nextAttempt || !Reconnect()) {
            return;
        }
    } else if (now - m_lastPoll < m_options.pollInterval) {
        return;
    }
    Poll();
}

void NetLink::PollNow() {
    if (m_client || Reconnect()) {
        Poll();
    }
}

bool NetLink::Reconnect() {
    m_nextAttempt = Clock::now() + m_options.retryInterval;
    try {
        m_client = std::make_unique<ModbusClient>(m_options);
        return true;
    } catch (const LinkFailure&) {
        return false;
    }
}

void NetLink::Poll() {
    m_lastPoll = Clock::now();
    try {
        const auto read = [this](int address, int count) { return m_client->ReadInputs(address, count); };
        const Registers head = read(reg::header::kAddress, reg::kHeadSize);
        DriveImage image = DriveImage::DecodeHead(head);
        const bool sameSession = image.session == m_session;
        // The one request of an idle tick: nothing the registers show changed since the last poll.
        if (sameSession && !m_inDoubt && image.changeCount != 0 && image.changeCount == m_changeCount) {
            return;
        }
        image.ReadDetails(head, read);
        if (!sameSession) {
            // A restarted drive must still be the drive the copy was built from.
            if (m_session != 0 && ReadDescription() != m_description) {
                throw LinkFailure("the drive at " + m_options.Endpoint() + " now describes another drive");
            }
            m_eventCursor = image.eventNext;
        }
        if (m_inDoubt) {
            if (sameSession && image.lastWriteId == m_inDoubt->id) {
                m_delivered.push_back(m_inDoubt->write);
            }
            m_inDoubt.reset();
        }
        if (!sameSession || image.microstepGeneration != m_microstepGeneration) {
            ReadMicrosteps();
            m_microstepGeneration = image.microstepGeneration;
        }
        m_session = image.session;
        image.ApplyTo(*m_drive, m_profile);
        RaiseEvents(image.eventNext);
        m_changeCount = image.changeCount;
    } catch (const std::exception&) {
        LinkDown();
    }
}

void NetLink::LinkDown() {
    m_requestsBefore = Requests();
    m_client.reset();
    // The copy now shows the drive offline: the first poll afterwards must read it all.
    m_changeCount = 0;
    m_nextAttempt = Clock::now() + m_options.retryInterval;
    if (m_drive != nullptr) {
        m_drive->SetOnline(false);
    }
}

std::string NetLink::ReadDescription() {
    return ReadText(reg::text::kDescription, reg::text::kDescriptionMax, "description");
}

void NetLink::ReadMicrosteps() {
    const auto catalogue =
        nlohmann::json::parse(ReadText(reg::text::kMicrosteps, reg::text::kMicrostepsMax, "microstep catalogue"));
    std::vector<std::pair<std::int32_t, std::string>> choices;
    for (const auto& choice : catalogue) {
        choices.emplace_back(choice.at(0).get<std::int32_t>(), choice.at(1).get<std::string>());
    }
    m_drive->SetMicrostepChoices(choices);
}

std::string NetLink::ReadText(int address, int maxRegisters, const std::string& what) {
    const std::size_t count = TextRegisters(m_client->ReadInputs(address, 2).data());
    if (count > static_cast<std::size_t>(maxRegisters)) {
        throw LinkFailure("the drive's " + what + " does not fit its register area");
    }
    return GetText(m_client->ReadInputs(address, static_cast<int>(count)));
}

void NetLink::RaiseEvents(std::uint32_t next) {
    if (next == m_eventCursor) {
        return;
    }
    constexpr auto kSlots = static_cast<std::uint32_t>(reg::event::kSlots);
    // Events older than the ring are gone; the state they left is already in the copy.
    const std::uint32_t first = next - m_eventCursor > kSlots ? next - kSlots : m_eventCursor;
    const Registers ring = m_client->ReadInputs(reg::event::kAddress, reg::event::kSlots * reg::event::kSlotSize);
    m_eventCursor = next;
    for (std::uint32_t number = first; number != next; ++number) {
        const std::uint16_t* slot = &ring[(number % kSlots) * reg::event::kSlotSize];
        if (static_cast<std::uint32_t>(GetInt32(slot + reg::event::kSequence)) == number &&
            slot[reg::event::kKind] == reg::event::kCommutation) {
            m_drive->RaiseCommutationChanged(GetInt32(slot + reg::event::kFirst), GetInt32(slot + reg::event::kSecond));
        }
    }
}

model::DriveWrite NetLink::AsDriveWrite(const valuelib::CallSite& site, double value) const {
    if (!site.param) {
        return model::DriveWrite::DriveEnabled(value != 0);
    }
    if (site.operation == "Field.SetValue") {
        return model::DriveWrite::Field(*site.param, std::string(site.field), static_cast<std::int32_t>(value));
    }
    return model::DriveWrite::Param(*site.param, value);
}

Registers NetLink::WriteRequest(const valuelib::CallSite& site, double value, std::uint32_t id) const {
    Registers request(reg::write::kSize);
    PutInt32(&request[reg::write::kId], static_cast<std::int32_t>(id));
    if (!site.param) {
        request[reg::write::kKind] = reg::write::kDriveEnabled;
    } else if (site.operation == "Field.SetValue") {
        request[reg::write::kKind] = reg::write::kFieldValue;
        request[reg::write::kField] = static_cast<std::uint16_t>(FieldIndex(*site.param, site.field));
    } else {
        request[reg::write::kKind] = reg::write::kNumber;
    }
    PutInt32(&request[reg::write::kParam], site.param.value_or(0));
    PutDouble(&request[reg::write::kValue], value);
    return request;
}

std::int32_t NetLink::FieldIndex(std::int32_t param, std::string_view field) const {
    for (const auto& described : m_profile.parameters) {
        if (described.number != param) {
            continue;
        }
        for (std::size_t i = 0; i < described.fields.size(); ++i) {
            if (described.fields[i].name == field) {
                return static_cast<std::int32_t>(i);
            }
        }
    }
    throw Error(error_number::KeyNotFound, "netdrive",
                "The description has no field \"" + std::string(field) + "\" in parameter " + std::to_string(param));
}

}  // namespace vor::netdrive
