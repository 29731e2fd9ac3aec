#include "apps/drive/DriveServer.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>

#include "vormotor/drivemodel/ProfileLoader.h"
#include "vormotor/netdrive/RegisterMap.h"

namespace vor::drive {
namespace reg = netdrive::reg;
namespace {

// Modbus TCP frames: a 7-byte header (transaction, protocol 0, length of what follows, unit),
// then the request itself, at most 253 bytes.
constexpr std::size_t kHeaderSize = 7;
// Transaction, protocol and length: what the length field does not count.
constexpr std::size_t kUncounted = 6;
constexpr std::size_t kMaxPdu = 253;
constexpr std::uint8_t kReadHolding = 0x03;
constexpr std::uint8_t kReadInputs = 0x04;
constexpr std::uint8_t kWriteMultiple = 0x10;
// Writes other than the one write request; answered as writes to where nothing can be written.
constexpr std::uint8_t kOtherWrites[] = {0x05, 0x06, 0x0F, 0x16, 0x17};
constexpr int kMaxReadCount = 125;
constexpr int kMaxWriteCount = 123;

enum Exception : std::uint8_t {
    kIllegalFunction = 1,
    kIllegalAddress = 2,
    kIllegalValue = 3,
    kDeviceFailure = 4,
};

// A write request whose registers do not make a write; the drive is not asked.
class IllegalValue : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

std::uint32_t NewSession() {
    std::random_device device;
    std::uint32_t session = 0;
    while (session == 0) {
        session = device();
    }
    return session;
}

std::uint16_t Word(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

void AppendWord(std::string& to, std::uint16_t word) {
    to += static_cast<char>(word >> 8);
    to += static_cast<char>(word & 0xFFu);
}

std::string ExceptionReply(std::uint8_t function, Exception exception) {
    return {static_cast<char>(function | 0x80u), static_cast<char>(exception)};
}

std::int32_t WholeValue(double value) {
    if (!(value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) ||
        value != std::trunc(value)) {
        throw IllegalValue("a field's value is a whole number");
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

DriveServer::LinkMemory::LinkMemory() : session(NewSession()) {}

DriveServer::DriveServer(sim::SimDrive& drive, LinkMemory& memory, std::string description, const std::string& host,
                         int port, Limits limits)
    : SocketService("Modbus server", host, port, limits),
      m_drive(drive),
      m_description(std::move(description)),
      m_profile(model::ProfileLoader::Parse(m_description, "the served profile")),
      m_inputs(reg::kInputRegisters),
      m_holding(reg::kHoldingRegisters),
      m_memory(memory),
      m_sensorCode(model::ModelIo::SensorCode(drive.InputWord())) {
    netdrive::PutText(&m_inputs[reg::text::kDescription], m_description, reg::text::kDescriptionMax);
    m_commutation = drive.Node()->Io().CommutationChanged().Connect(
        [this](std::int32_t thisCode, std::int32_t lastCode) { RecordCommutation(thisCode, lastCode); });
    EncodeMicrosteps(m_memory.microsteps);
    Publish();
}

DriveServer::~DriveServer() = default;

bool DriveServer::Answer(std::string& input, std::string& output) {
    // Requests that arrived together see the drive as it was when they arrived.
    m_publishedForBatch = false;
    std::size_t used = 0;
    while (input.size() - used >= kHeaderSize) {
        const auto* frame = reinterpret_cast<const std::uint8_t*>(input.data() + used);
        const std::size_t length = Word(frame + 4);
        // Not Modbus, or not a frame boundary: nothing after it can be trusted.
        if (Word(frame + 2) != 0 || length < 2 || length > kMaxPdu + 1) {
            return false;
        }
        if (input.size() - used < kUncounted + length) {
            break;
        }
        const std::string reply = Reply(frame + kHeaderSize, length - 1);
        output.append(reinterpret_cast<const char*>(frame), 4);
        AppendWord(output, static_cast<std::uint16_t>(reply.size() + 1));
        output += static_cast<char>(frame[6]);
        output += reply;
        used += kUncounted + length;
    }
    input.erase(0, used);
    return true;
}

std::string DriveServer::Reply(const std::uint8_t* pdu, std::size_t size) {
    const std::uint8_t function = pdu[0];
    switch (function) {
        case kReadInputs:
            try {
                if (!m_publishedForBatch) {
                    Publish();
                    m_publishedForBatch = true;
                }
            } catch (const std::exception&) {
                return ExceptionReply(function, kDeviceFailure);
            }
            return ReadRegisters(pdu, size, m_inputs);
        case kReadHolding:
            return ReadRegisters(pdu, size, m_holding);
        case kWriteMultiple:
            return WriteRequest(pdu, size);
        default:
            return ExceptionReply(function, std::ranges::find(kOtherWrites, function) == std::end(kOtherWrites)
                                                ? kIllegalFunction
                                                : kIllegalAddress);
    }
}

std::string DriveServer::ReadRegisters(const std::uint8_t* pdu, std::size_t size, const netdrive::Registers& table) {
    if (size != 5) {
        return ExceptionReply(pdu[0], kIllegalValue);
    }
    const std::size_t address = Word(pdu + 1);
    const std::size_t count = Word(pdu + 3);
    if (count < 1 || count > kMaxReadCount) {
        return ExceptionReply(pdu[0], kIllegalValue);
    }
    if (address + count > table.size()) {
        return ExceptionReply(pdu[0], kIllegalAddress);
    }
    std::string reply{static_cast<char>(pdu[0]), static_cast<char>(2 * count)};
    for (std::size_t i = 0; i < count; ++i) {
        AppendWord(reply, table[address + i]);
    }
    return reply;
}

std::string DriveServer::WriteRequest(const std::uint8_t* pdu, std::size_t size) {
    if (size < 6) {
        return ExceptionReply(kWriteMultiple, kIllegalValue);
    }
    const std::uint16_t address = Word(pdu + 1);
    const std::uint16_t count = Word(pdu + 3);
    const std::size_t bytes = pdu[5];
    // The registers must be exactly those the request says it carries.
    if (count < 1 || count > kMaxWriteCount || bytes != 2u * count || size != 6 + bytes) {
        return ExceptionReply(kWriteMultiple, kIllegalValue);
    }
    // A write is one whole write request, in one go.
    if (address != reg::write::kAddress || count != reg::write::kSize) {
        return ExceptionReply(kWriteMultiple, kIllegalAddress);
    }
    std::uint16_t values[reg::write::kSize];
    for (std::size_t i = 0; i < reg::write::kSize; ++i) {
        values[i] = Word(pdu + 6 + 2 * i);
    }
    try {
        ApplyWrite(values);
    } catch (const IllegalValue&) {
        return ExceptionReply(kWriteMultiple, kIllegalValue);
    } catch (const std::exception&) {
        return ExceptionReply(kWriteMultiple, kDeviceFailure);
    }
    std::copy(std::begin(values), std::end(values), m_holding.begin() + reg::write::kAddress);
    m_memory.lastWriteId = static_cast<std::uint32_t>(netdrive::GetInt32(values + reg::write::kId));
    try {
        Publish();
    } catch (const std::exception&) {
        // Applied all the same; the reads say what the link can no longer show.
    }
    std::string reply{static_cast<char>(kWriteMultiple)};
    AppendWord(reply, address);
    AppendWord(reply, count);
    return reply;
}

void DriveServer::ApplyWrite(const std::uint16_t* values) {
    const std::int32_t param = netdrive::GetInt32(values + reg::write::kParam);
    const double value = netdrive::GetDouble(values + reg::write::kValue);
    auto node = m_drive.Node();
    switch (values[reg::write::kKind]) {
        case reg::write::kNumber:
            node->DriveParam(param)->Content().SetNumber(value);
            return;
        case reg::write::kFieldValue: {
            const auto described = std::find_if(m_profile.parameters.begin(), m_profile.parameters.end(),
                                                [param](const auto& candidate) { return candidate.number == param; });
            const std::size_t field = values[reg::write::kField];
            if (described == m_profile.parameters.end() || field >= described->fields.size()) {
                throw IllegalValue("no such field");
            }
            const std::int32_t whole = WholeValue(value);
            node->DriveParam(param)->FindField(described->fields[field].name)->SetValue(whole);
            return;
        }
        case reg::write::kDriveEnabled:
            if (value != 0 && value != 1) {
                throw IllegalValue("the drive is enabled (1) or not (0)");
            }
            node->SetDriveEnabled(value == 1);
            return;
        default:
            throw IllegalValue("no such kind of write");
    }
}

void DriveServer::Publish() {
    std::vector<std::pair<std::int32_t, std::string>> microsteps;
    for (const auto& entry : m_drive.Node()->DriveMicrosteps()) {
        microsteps.emplace_back(entry->CodeValue(), entry->NameText());
    }
    if (microsteps != m_memory.microsteps) {
        EncodeMicrosteps(microsteps);
        m_memory.microsteps = std::move(microsteps);
        ++m_memory.microstepGeneration;
    }
    auto image = netdrive::DriveImage::Capture(m_drive, m_profile);
    image.session = m_memory.session;
    image.eventNext = m_memory.eventNext;
    image.lastWriteId = m_memory.lastWriteId;
    image.microstepGeneration = m_memory.microstepGeneration;
    image.changeCount = m_memory.changeCount;
    // A server started afresh has published nothing, so its first image counts as a change: a
    // client's last count may be the one it starts from.
    if (image != m_published) {
        // 0 says "no change count kept"; a reader would then read everything every time.
        if (++m_memory.changeCount == 0) {
            ++m_memory.changeCount;
        }
        image.changeCount = m_memory.changeCount;
    }
    image.Encode(m_inputs.data());
    m_published = std::move(image);
}

void DriveServer::EncodeMicrosteps(const std::vector<std::pair<std::int32_t, std::string>>& microsteps) {
    nlohmann::json catalogue = nlohmann::json::array();
    for (const auto& [code, name] : microsteps) {
        catalogue.push_back({code, name});
    }
    netdrive::PutText(&m_inputs[reg::text::kMicrosteps], catalogue.dump(), reg::text::kMicrostepsMax);
}

void DriveServer::RecordCommutation(std::int32_t thisCode, std::int32_t lastCode) {
    const std::int32_t code = model::ModelIo::SensorCode(m_drive.InputWord());
    if (code != m_sensorCode) {
        m_sensorCode = code;
        return;
    }
    const std::uint32_t number = m_memory.eventNext++;
    std::uint16_t* slot = &m_inputs[reg::event::kAddress + (number % reg::event::kSlots) * reg::event::kSlotSize];
    netdrive::PutInt32(slot + reg::event::kSequence, static_cast<std::int32_t>(number));
    slot[reg::event::kKind] = reg::event::kCommutation;
    netdrive::PutInt32(slot + reg::event::kFirst, thisCode);
    netdrive::PutInt32(slot + reg::event::kSecond, lastCode);
}

}  // namespace vor::drive
