#pragma once

// Just enough JSON to read what a host reads from a module info file: objects, arrays, strings
// (with escapes of ASCII characters), numbers and the three words. Malformed text gives an empty
// optional, so a test fails on it instead of guessing.

#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace halvane::test {

struct Json {
    enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<Json> items;
    std::map<std::string, Json> members;

    const Json& operator[](const std::string& key) const {
        static const Json missing;
        auto it = members.find(key);
        return it == members.end() ? missing : it->second;
    }

    static std::optional<Json> parse(const std::string& source) {
        size_t at = 0;
        Json value;
        if (!parseValue(source, at, value))
            return std::nullopt;
        skipBlanks(source, at);
        return at == source.size() ? std::optional<Json>(value) : std::nullopt;
    }

  private:
    static void skipBlanks(const std::string& s, size_t& at) {
        while (at < s.size() && (s[at] == ' ' || s[at] == '\n' || s[at] == '\r' || s[at] == '\t'))
            ++at;
    }

    static bool parseString(const std::string& s, size_t& at, std::string& out) {
        if (at >= s.size() || s[at] != '"')
            return false;
        for (++at; at < s.size() && s[at] != '"'; ++at) {
            if (s[at] != '\\') {
                out += s[at];
                continue;
            }
            if (++at >= s.size())
                return false;
            const char c = s[at];
            if (c == 'u') {
                if (at + 4 >= s.size())
                    return false;
                out += static_cast<char>(std::strtol(s.substr(at + 1, 4).c_str(), nullptr, 16));
                at += 4;
            } else {
                out += c == 'n' ? '\n' : c == 't' ? '\t' : c;
            }
        }
        return at++ < s.size();
    }

    static bool parseValue(const std::string& s, size_t& at, Json& value) {
        skipBlanks(s, at);
        if (at >= s.size())
            return false;
        const char c = s[at];
        if (c == '{' || c == '[') {
            const bool object = c == '{';
            value.type = object ? Type::Object : Type::Array;
            ++at;
            skipBlanks(s, at);
            if (at < s.size() && s[at] == (object ? '}' : ']'))
                return ++at, true;
            while (true) {
                std::string key;
                if (object) {
                    skipBlanks(s, at);
                    if (!parseString(s, at, key))
                        return false;
                    skipBlanks(s, at);
                    if (at >= s.size() || s[at++] != ':')
                        return false;
                }
                Json item;
                if (!parseValue(s, at, item))
                    return false;
                if (object)
                    value.members[key] = item;
                else
                    value.items.push_back(item);
                skipBlanks(s, at);
                if (at < s.size() && s[at] == ',') {
                    ++at;
                    continue;
                }
                return at < s.size() && s[at++] == (object ? '}' : ']');
            }
        }
        if (c == '"') {
            value.type = Type::String;
            return parseString(s, at, value.text);
        }
        for (const char* word : {"true", "false", "null"}) {
            if (s.compare(at, std::string(word).size(), word) == 0) {
                value.type = word[0] == 'n' ? Type::Null : Type::Bool;
                value.boolean = word[0] == 't';
                at += std::string(word).size();
                return true;
            }
        }
        char* end = nullptr;
        value.type = Type::Number;
        value.number = std::strtod(s.c_str() + at, &end);
        if (end == s.c_str() + at)
            return false;
        at = static_cast<size_t>(end - s.c_str());
        return true;
    }
};

} // namespace halvane::test
