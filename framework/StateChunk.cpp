#include "StateChunk.h"

#include <climits>

void StateChunk::PutBytes(const void* data, size_t size) {
    if (!data || size == 0)
        return;
    const auto* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

void StateChunk::PutStr(const char* text) {
    if (!text)
        text = "";
    size_t length = std::strlen(text);
    if (length > INT32_MAX)
        length = INT32_MAX;
    Put(static_cast<int32_t>(length));
    PutBytes(text, length);
}

int StateChunk::GetStr(std::string* text, int position) const {
    int32_t length = 0;
    position = Get(&length, position);
    if (position < 0 || length < 0 || !Fits(position, static_cast<size_t>(length)))
        return -1;
    text->assign(reinterpret_cast<const char*>(bytes_.data()) + position, static_cast<size_t>(length));
    if (static_cast<long long>(position) + length > INT_MAX)
        return -1;
    return position + length;
}
