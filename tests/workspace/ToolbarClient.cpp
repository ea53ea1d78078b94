#include "ToolbarClient.h"

namespace workspacetest {

std::string ToolbarRequest(const char* id, const char* numbers, int32_t page)
{
    std::string r(40, '\0');
    std::memcpy(&r[0], id, std::strlen(id));
    std::memcpy(&r[15], numbers, std::strlen(numbers));
    std::memcpy(&r[36], &page, 4);
    return r;
}

} // namespace workspacetest
