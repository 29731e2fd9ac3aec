#include "vormotor/drivemodel/ProfileLoader.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <set>
#include <system_error>
#include <utility>
#include <vector>

#include "vormotor/core/Conversions.h"
#include "vormotor/core/Error.h"
#include "vormotor/drivemodel/ProfileLoaderJson.h"

namespace vor::model {
namespace {

using profile_loader::Describe;
using profile_loader::Excerpt;
using profile_loader::Json;
using profile_loader::Refuse;
using profile_loader::RefuseAt;
using profile_loader::Source;

template <class T>
struct JsonType;
template <>
struct JsonType<std::int32_t> {
    static constexpr const char* kName = "a whole number from -2147483648 to 2147483647";
    // The library keeps a number without a sign as unsigned 64 bits: read as signed, the largest
    // ones would wrap into range.
    static bool Is(const Json& value) {
        if (value.is_number_unsigned()) {
            return value.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max();
        }
        return value.is_number_integer() && value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
               value.get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max();
    }
};
template <>
struct JsonType<double> {
    static constexpr const char* kName = "a number";
    static bool Is(const Json& value) { return value.is_number(); }
};
template <>
struct JsonType<bool> {
    static constexpr const char* kName = "true or false";
    static bool Is(const Json& value) { return value.is_boolean(); }
};
template <>
struct JsonType<std::string> {
    static constexpr const char* kName = "a text";
    static bool Is(const Json& value) { return value.is_string(); }
};

// One JSON object of the profile with its place in the file. Every key that the object
// holds must be read; what is left over is an unknown (probably misspelt) key.
class ObjectReader {
public:
    ObjectReader(const Json& object, std::string place, const Source& source)
        : m_object(object), m_place(std::move(place)), m_source(source) {
        if (!m_object.is_object()) {
            Fail("", std::string("expected an object, found ") + m_object.type_name());
        }
    }

    template <class T>
    T Required(const std::string& key) {
        return Read<T>(key, nullptr);
    }
    template <class T>
    T Optional(const std::string& key, const T& fallback) {
        return Read<T>(key, &fallback);
    }

    // The objects of an array; a missing optional array is empty.
    std::vector<ObjectReader> Objects(const std::string& key, bool required) {
        std::vector<ObjectReader> objects;
        const Json* array = Array(key, required);
        for (std::size_t i = 0; array != nullptr && i < array->size(); ++i) {
            objects.emplace_back((*array)[i], Place(key) + "[" + std::to_string(i) + "]", m_source);
        }
        return objects;
    }

    std::vector<std::int32_t> Int32s(const std::string& key) {
        std::vector<std::int32_t> numbers;
        const Json* array = Array(key, true);
        for (std::size_t i = 0; i < array->size(); ++i) {
            if (!JsonType<std::int32_t>::Is((*array)[i])) {
                Fail(key + "[" + std::to_string(i) + "]",
                     std::string("expected ") + JsonType<std::int32_t>::kName + ", found " + Describe((*array)[i]));
            }
            numbers.push_back((*array)[i].get<std::int32_t>());
        }
        return numbers;
    }

    std::optional<ObjectReader> Object(const std::string& key) {
        const Json* value = Find(key);
        if (value == nullptr) {
            return std::nullopt;
        }
        return ObjectReader(*value, Place(key), m_source);
    }

    bool Has(const std::string& key) const { return m_object.contains(key); }

    // Ends the reading of this object.
    void Done() const {
        for (const auto& item : m_object.items()) {
            if (!m_used.contains(item.key())) {
                RefuseAt(m_source, Place(item.key()), "unknown field", Place(Excerpt(item.key())));
            }
        }
    }

    [[noreturn]] void Fail(const std::string& key, const std::string& problem) const {
        const std::string place = Place(key);
        RefuseAt(m_source, place, problem, place);
    }

    std::string Place(const std::string& key) const {
        if (key.empty() || m_place.empty()) {
            return key.empty() ? m_place : key;
        }
        return m_place + "." + key;
    }

private:
    // A key that is not there has no line of its own: the line is the object's.
    [[noreturn]] void Missing(const std::string& key) const {
        RefuseAt(m_source, m_place, "missing field", Place(key));
    }

    const Json* Find(const std::string& key) {
        m_used.insert(key);
        const auto found = m_object.find(key);
        return found == m_object.end() ? nullptr : &*found;
    }

    const Json* Array(const std::string& key, bool required) {
        const Json* array = Find(key);
        if (array == nullptr) {
            if (required) {
                Missing(key);
            }
            return nullptr;
        }
        if (!array->is_array()) {
            Fail(key, std::string("expected an array, found ") + array->type_name());
        }
        return array;
    }

    template <class T>
    T Read(const std::string& key, const T* fallback) {
        const Json* value = Find(key);
        if (value == nullptr) {
            if (fallback == nullptr) {
                Missing(key);
            }
            return *fallback;
        }
        if (!JsonType<T>::Is(*value)) {
            Fail(key, std::string("expected ") + JsonType<T>::kName + ", found " + Describe(*value));
        }
        return value->get<T>();
    }

    const Json& m_object;
    std::string m_place;
    const Source& m_source;
    std::set<std::string> m_used;
};

constexpr double kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr double kInt32Max = std::numeric_limits<std::int32_t>::max();

// Refuses a code that appears a second time in one list.
template <class Item, class Key>
void CheckUnique(std::vector<ObjectReader>& readers, const std::vector<Item>& items, Key key, const char* field,
                 const char* what) {
    std::map<decltype(key(items.front())), std::size_t> seen;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto [at, inserted] = seen.emplace(key(items[i]), i);
        if (!inserted) {
            readers[i].Fail(field,
                            std::string("duplicate ") + what + " (first at " + readers[at->second].Place({}) + ")");
        }
    }
}

Profile::ValueName ReadValueName(ObjectReader& reader, const Profile::Field& field) {
    Profile::ValueName name{reader.Required<std::int32_t>("code"), reader.Required<std::string>("name"),
                            reader.Optional<bool>("visible", true)};
    const bool fits = field.width >= 32 || (name.code >= 0 && name.code < (std::int64_t{1} << field.width));
    if (!fits) {
        reader.Fail("code", "value " + DecimalText(name.code) + " does not fit the field's " +
                                DecimalText(field.width) + " bits");
    }
    reader.Done();
    return name;
}

Profile::Field ReadField(ObjectReader& reader) {
    Profile::Field field{reader.Required<std::string>("name"),    reader.Required<std::int32_t>("firstBit"),
                         reader.Required<std::int32_t>("width"),  reader.Optional<std::string>("text", ""),
                         reader.Optional<bool>("editable", true), {}};
    if (field.width > 32) {
        reader.Fail("width", "field wider than 32 bits (" + DecimalText(field.width) + ")");
    }
    if (field.width < 1) {
        reader.Fail("width", "a field is at least 1 bit wide");
    }
    if (field.firstBit < 0 || field.firstBit > 32 - field.width) {
        reader.Fail("firstBit", "bits " + DecimalText(field.firstBit) + " to " +
                                    DecimalText(std::int64_t{field.firstBit} + field.width - 1) +
                                    " do not lie within bits 0 to 31");
    }
    auto readers = reader.Objects("values", false);
    for (auto& valueReader : readers) {
        field.values.push_back(ReadValueName(valueReader, field));
    }
    CheckUnique(
        readers, field.values, [](const auto& v) { return v.code; }, "code", "value code");
    reader.Done();
    return field;
}

Profile::Parameter ReadParameter(ObjectReader& reader) {
    Profile::Parameter param{reader.Required<std::int32_t>("number"),
                             reader.Required<std::string>("key"),
                             reader.Required<std::string>("name"),
                             reader.Required<double>("value"),
                             reader.Optional<double>("lower", kInt32Min),
                             reader.Optional<double>("upper", kInt32Max),
                             reader.Optional<std::string>("text", "{value}"),
                             reader.Optional<std::string>("info", "{name}"),
                             reader.Optional<std::int32_t>("lockLevel", 0),
                             reader.Optional<bool>("writable", true),
                             reader.Optional<bool>("whole", false),
                             reader.Optional<std::int32_t>("decimals", -1),
                             {}};
    if (param.decimals < -1 || param.decimals > 15) {
        reader.Fail("decimals", "expected -1 (as many as needed) to 15");
    }
    if (param.lowerLimit > param.upperLimit) {
        reader.Fail("lower", "lower limit above upper limit");
    }
    if (param.value < param.lowerLimit || param.value > param.upperLimit) {
        reader.Fail("value", "value " + DoubleText(param.value, ".") + " is outside the limits");
    }
    auto readers = reader.Objects("fields", false);
    for (auto& fieldReader : readers) {
        param.fields.push_back(ReadField(fieldReader));
    }
    CheckUnique(
        readers, param.fields, [](const auto& f) { return f.name; }, "name", "field name");
    reader.Done();
    return param;
}

std::vector<Profile::CatalogEntry> ReadCatalog(ObjectReader& root, const std::string& key, bool withLinear) {
    std::vector<Profile::CatalogEntry> entries;
    auto readers = root.Objects(key, false);
    for (auto& reader : readers) {
        entries.push_back(Profile::CatalogEntry{
            reader.Required<std::int32_t>("code"), reader.Required<std::string>("name"),
            reader.Optional<bool>("visible", true), withLinear && reader.Optional<bool>("linear", false)});
        reader.Done();
    }
    CheckUnique(
        readers, entries, [](const auto& e) { return e.code; }, "code", "code");
    return entries;
}

const Profile::Parameter* FindParameter(const Profile& profile, std::int32_t number) {
    const auto found = std::find_if(profile.parameters.begin(), profile.parameters.end(),
                                    [number](const auto& param) { return param.number == number; });
    return found == profile.parameters.end() ? nullptr : &*found;
}

void ReadMotorTypeLocation(ObjectReader& root, Profile& profile) {
    profile.motorTypeParam = 170;
    profile.motorTypeField = "Motor Type";
    auto location = root.Object("motorType");
    if (!location) {
        return;
    }
    profile.motorTypeParam = location->Required<std::int32_t>("param");
    profile.motorTypeField = location->Required<std::string>("field");
    location->Done();
    const auto* param = FindParameter(profile, profile.motorTypeParam);
    const bool found = param != nullptr && std::any_of(param->fields.begin(), param->fields.end(),
                                                       [&](const auto& f) { return f.name == profile.motorTypeField; });
    if (!found) {
        location->Fail("", "no parameter " + DecimalText(profile.motorTypeParam) + " with a field \"" +
                               Excerpt(profile.motorTypeField) + "\"");
    }
}

void ReadMotion(ObjectReader& root, Profile& profile) {
    profile.angleStep = 60;
    profile.hallSequence = {1, 3, 2, 6, 4, 5};
    auto motion = root.Object("motion");
    if (!motion) {
        return;
    }
    if (motion->Has("angleParam")) {
        profile.angleParam = motion->Required<std::int32_t>("angleParam");
        if (FindParameter(profile, *profile.angleParam) == nullptr) {
            motion->Fail("angleParam", "no parameter " + DecimalText(*profile.angleParam));
        }
    }
    profile.angleStep = motion->Optional<double>("angleStep", profile.angleStep);
    if (motion->Has("hallSequence")) {
        profile.hallSequence = motion->Int32s("hallSequence");
        auto sorted = profile.hallSequence;
        std::sort(sorted.begin(), sorted.end());
        if (sorted != std::vector<std::int32_t>{1, 2, 3, 4, 5, 6}) {
            motion->Fail("hallSequence", "expected the six sensor codes 1 to 6, each once");
        }
    }
    motion->Done();
}

void ReadNetworkAndNode(ObjectReader& root, Profile& profile) {
    auto network = root.Object("network");
    auto node = root.Object("node");
    const auto read = [](std::optional<ObjectReader>& reader, const std::string& key, auto fallback) {
        return reader ? reader->Optional<decltype(fallback)>(key, fallback) : fallback;
    };
    profile.accessLevel = read(network, "accessLevel", std::int32_t{3});
    profile.techSupport = read(network, "techSupport", false);
    profile.commModeSelectable = read(network, "commModeSelectable", true);
    profile.traceFlags = read(network, "traceFlags", std::int32_t{0});
    profile.online = read(node, "online", true);
    profile.driveEnabled = read(node, "driveEnabled", false);
    profile.nodeState = read(node, "nodeState", std::int32_t{0});
    profile.inputWord = read(node, "inputWord", std::int32_t{0});
    for (auto* reader : {&network, &node}) {
        if (*reader) {
            (*reader)->Done();
        }
    }
    if (profile.inputWord < 0 || profile.inputWord > 65535) {
        node->Fail("inputWord", "an input word lies from 0 to 65535");
    }
}

Profile ReadProfile(const Json& document, const Source& source) {
    ObjectReader root(document, "", source);
    Profile profile;
    profile.name = root.Required<std::string>("name");
    ReadNetworkAndNode(root, profile);
    auto readers = root.Objects("parameters", true);
    for (auto& reader : readers) {
        profile.parameters.push_back(ReadParameter(reader));
    }
    CheckUnique(
        readers, profile.parameters, [](const auto& p) { return p.number; }, "number", "parameter");
    profile.motorTypes = ReadCatalog(root, "motorTypes", true);
    profile.microsteps = ReadCatalog(root, "microsteps", false);
    auto expansions = root.Objects("expand", false);
    for (auto& reader : expansions) {
        profile.expansions.push_back(Profile::Expansion{reader.Required<std::string>("marker"),
                                                        reader.Required<std::string>("rotary"),
                                                        reader.Required<std::string>("linear")});
        if (profile.expansions.back().marker.empty()) {
            reader.Fail("marker", "a marker is not empty");
        }
        reader.Done();
    }
    ReadMotorTypeLocation(root, profile);
    ReadMotion(root, profile);
    root.Done();
    return profile;
}

}  // namespace

Profile ProfileLoader::LoadFile(const std::string& path) {
    std::error_code unknown;
    if (std::filesystem::is_directory(path, unknown)) {
        Refuse(path, "", "a folder, not a profile file");
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        Refuse(path, "", "cannot be read");
    }
    // Reading stops just past the largest profile, so that a huge file is refused without being read whole.
    std::string text;
    std::vector<char> chunk(64 * 1024);
    while (text.size() <= profile_loader::kMaxTextBytes && file.read(chunk.data(), std::ssize(chunk)).gcount() > 0) {
        text.append(chunk.data(), static_cast<std::size_t>(file.gcount()));
    }
    if (file.bad()) {
        Refuse(path, "", "cannot be read");
    }
    return Parse(text, path);
}

Profile ProfileLoader::Parse(const std::string& text, const std::string& fileName) {
    return ReadProfile(profile_loader::ParseJson(text, fileName), Source{text, fileName});
}

}  // namespace vor::model
