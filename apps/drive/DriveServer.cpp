#include "apps/drive/DriveServer.h"

#include <algorithm>
#include <cerrno>
#include <modbus/modbus.h>
#include <nlohmann/json.hpp>
#include <random>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

#include "vormotor/drivesim/ProfileLoader.h"
#include "vormotor/netdrive/DriveImage.h"
#include "vormotor/netdrive/RegisterMap.h"

namespace vor::drive {
namespace reg = netdrive::reg;
namespace {

constexpr int kWriteMultipleRegisters = 0x10;
constexpr std::uint8_t kWriteFunctions[] = {0x05, 0x06, 0x0F, 0x10, 0x16, 0x17};

std::uint32_t NewSession() {
    std::random_device device;
    std::uint32_t session = 0;
    while (session == 0) {
        session = device();
    }
    return session;
}

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + modbus_strerror(errno));
}

std::uint16_t Word(const std::uint8_t* at) {
    return static_cast<std::uint16_t>((at[0] << 8) | at[1]);
}

}  // namespace

DriveServer::LinkMemory::LinkMemory() : session(NewSession()) {}

DriveServer::DriveServer(SimDrive& drive, LinkMemory& memory, std::string description, const std::string& host,
                         int port)
    : m_drive(drive),
      m_description(std::move(description)),
      m_profile(ProfileLoader::Parse(m_description, "the served profile")),
      m_context(modbus_new_tcp_pi(host.c_str(), std::to_string(port).c_str())),
      m_mapping(modbus_mapping_new(0, 0, reg::kHoldingRegisters, reg::kInputRegisters)),
      m_listener(-1),
      m_memory(memory),
      m_sensorCode(SimIo::SensorCode(drive.InputWord())) {
    if (m_context == nullptr || m_mapping == nullptr) {
        Fail("cannot set up the Modbus server");
    }
    // A client that stops in the middle of a request must not stall the others for long.
    modbus_set_indication_timeout(m_context, 1, 0);
    m_listener = modbus_tcp_pi_listen(m_context, 8);
    if (m_listener < 0) {
        const std::string where = host + ":" + std::to_string(port);
        modbus_mapping_free(m_mapping);
        modbus_free(m_context);
        Fail("cannot listen on " + where);
    }
    netdrive::PutText(&m_mapping->tab_input_registers[reg::text::kDescription], m_description,
                      reg::text::kDescriptionMax);
    m_commutation = drive.Node()->Io().CommutationChanged().Connect(
        [this](std::int32_t thisCode, std::int32_t lastCode) { RecordCommutation(thisCode, lastCode); });
    Refresh();
    EncodeMicrosteps();
}

DriveServer::~DriveServer() {
    for (const int client : m_clients) {
        close(client);
    }
    close(m_listener);
    modbus_mapping_free(m_mapping);
    modbus_free(m_context);
}

int DriveServer::Port() const {
    return LocalPort(m_listener);
}

std::vector<int> DriveServer::Sockets() const {
    std::vector<int> sockets = m_clients;
    sockets.push_back(m_listener);
    return sockets;
}

void DriveServer::Ready(int socket) {
    if (socket == m_listener) {
        Accept();
    } else {
        Serve(socket);
    }
}

void DriveServer::Accept() {
    int listener = m_listener;
    const int client = modbus_tcp_pi_accept(m_context, &listener);
    if (client >= 0) {
        m_clients.push_back(client);
    }
}

void DriveServer::Serve(int socket) {
    modbus_set_socket(m_context, socket);
    std::uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
    const int length = modbus_receive(m_context, request);
    if (length < 0) {
        Drop(socket);
    } else if (length > 0) {
        Answer(request, length);
    }
}

void DriveServer::Drop(int socket) {
    close(socket);
    std::erase(m_clients, socket);
}

void DriveServer::Answer(const std::uint8_t* request, int length) {
    Refresh();
    const std::uint8_t* pdu = request + modbus_get_header_length(m_context);
    const std::uint8_t function = pdu[0];
    if (std::find(std::begin(kWriteFunctions), std::end(kWriteFunctions), function) == std::end(kWriteFunctions)) {
        modbus_reply(m_context, request, length, m_mapping);
        return;
    }
    // A write is one whole write request, in one go.
    if (function != kWriteMultipleRegisters || Word(pdu + 1) != reg::write::kAddress ||
        Word(pdu + 3) != reg::write::kSize) {
        modbus_reply_exception(m_context, request, MODBUS_EXCEPTION_ILLEGAL_DATA_ADDRESS);
        return;
    }
    std::uint16_t values[reg::write::kSize];
    for (int i = 0; i < reg::write::kSize; ++i) {
        values[i] = Word(pdu + 6 + 2 * i);
    }
    try {
        ApplyWrite(values);
    } catch (const std::exception&) {
        modbus_reply_exception(m_context, request, MODBUS_EXCEPTION_SLAVE_OR_SERVER_FAILURE);
        return;
    }
    m_memory.lastWriteId = static_cast<std::uint32_t>(netdrive::GetInt32(values + reg::write::kId));
    Refresh();
    modbus_reply(m_context, request, length, m_mapping);
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
                throw std::out_of_range("no such field");
            }
            node->DriveParam(param)
                ->FindField(described->fields[field].name)
                ->SetValue(static_cast<std::int32_t>(value));
            return;
        }
        case reg::write::kDriveEnabled:
            node->SetDriveEnabled(value != 0);
            return;
        default:
            throw std::out_of_range("no such kind of write");
    }
}

void DriveServer::Refresh() {
    std::vector<std::pair<std::int32_t, std::string>> microsteps;
    for (const auto& entry : m_drive.Node()->DriveMicrosteps()) {
        microsteps.emplace_back(entry->CodeValue(), entry->NameText());
    }
    if (microsteps != m_memory.microsteps) {
        m_memory.microsteps = std::move(microsteps);
        ++m_memory.microstepGeneration;
        EncodeMicrosteps();
    }
    auto image = netdrive::DriveImage::Capture(m_drive, m_profile);
    image.session = m_memory.session;
    image.eventNext = m_memory.eventNext;
    image.lastWriteId = m_memory.lastWriteId;
    image.microstepGeneration = m_memory.microstepGeneration;
    image.Encode(m_mapping->tab_input_registers);
}

void DriveServer::EncodeMicrosteps() {
    nlohmann::json catalogue = nlohmann::json::array();
    for (const auto& [code, name] : m_memory.microsteps) {
        catalogue.push_back({code, name});
    }
    netdrive::PutText(&m_mapping->tab_input_registers[reg::text::kMicrosteps], catalogue.dump(),
                      reg::text::kMicrostepsMax);
}

void DriveServer::RecordCommutation(std::int32_t thisCode, std::int32_t lastCode) {
    const std::int32_t code = SimIo::SensorCode(m_drive.InputWord());
    if (code != m_sensorCode) {
        m_sensorCode = code;
        return;
    }
    const std::uint32_t number = m_memory.eventNext++;
    std::uint16_t* slot =
        &m_mapping->tab_input_registers[reg::event::kAddress + (number % reg::event::kSlots) * reg::event::kSlotSize];
    netdrive::PutInt32(slot + reg::event::kSequence, static_cast<std::int32_t>(number));
    slot[reg::event::kKind] = reg::event::kCommutation;
    netdrive::PutInt32(slot + reg::event::kFirst, thisCode);
    netdrive::PutInt32(slot + reg::event::kSecond, lastCode);
}

}  // namespace vor::drive
