#include "vormotor/registry/RegEditFile.h"

#include <utility>

#include "vormotor/registry/RegEditForm.h"
#include "vormotor/registry/RegFileText.h"
#include "vormotor/registry/TextImageReader.h"
#include "vormotor/registry/TypedImage.h"

namespace vor {

RegEditExport ExportRegEditFile(RegistryApi& api, std::int32_t hive, std::string_view rootName, const std::string& path,
                                bool utf16) {
    TypedImage typed(api);
    std::string image = typed.Save(hive, rootName, path);
    return {RegFileBytes(std::move(image), utf16), typed.Uncarried()};
}

RegEditImport::RegEditImport(std::string bytes, HiveOfRoot hiveOf) : m_hiveOf(std::move(hiveOf)) {
    ImageFromRegEdit converted = FromRegEditForm(RegFileText(std::move(bytes)));
    m_image = std::move(converted.image);
    m_refused = std::move(converted.problems);
    if (m_refused.empty()) {
        m_entries = TypedImage::Read(m_image, m_hiveOf);
    }
}

RegEditImport::~RegEditImport() = default;

void RegEditImport::Apply(RegistryApi& api) const {
    if (m_refused.empty()) {
        TypedImage(api).Load(m_entries, m_hiveOf);
    }
}

}  // namespace vor
