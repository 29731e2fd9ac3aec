// A store file can be damaged or written by another program: whatever a key's row of values
// holds, reading it must refuse it or give a list that behaves, never read past its end.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "vormotor/regstore/NameFold.h"
#include "vormotor/regstore/ValueList.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool SameContents(const vor::store::ValueList& a, const vor::store::ValueList& b) {
    if (a.Size() != b.Size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.Size(); ++i) {
        if (a[i].name != b[i].name || a[i].type != b[i].type || a[i].data != b[i].data) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const std::string_view blob(reinterpret_cast<const char*>(bytes), size);
    std::optional<vor::store::ValueList> decoded = vor::store::ValueList::Decode(blob);
    if (!decoded) {
        return 0;
    }
    vor::store::ValueList& list = *decoded;
    Check(list.Blob() == blob);
    for (std::size_t i = 0; i < list.Size(); ++i) {
        const std::optional<vor::store::ValueList::Value> found = list.Find(list[i].name);
        Check(found && vor::store::SameName(found->name, list[i].name) && found->name.data() <= list[i].name.data());
    }
    // Changes keep the list readable: set the first name again with other data, drop the last.
    if (list.Size() > 0) {
        const std::string first(list[0].name);
        const std::string data = std::string(list[list.Size() - 1].data) + "x";
        Check(list.Set(first, 7, data));
        Check(list.Find(first) && list.Find(first)->data == data && list.Find(first)->type == 7);
        const std::string last(list[list.Size() - 1].name);
        const std::size_t before = list.Size();
        Check(list.Erase(last));
        Check(list.Size() == before - 1);
    }
    const std::optional<vor::store::ValueList> again = vor::store::ValueList::Decode(list.Blob());
    Check(again && SameContents(*again, list));
    return 0;
}
