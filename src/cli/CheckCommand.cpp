#include "cli/CheckCommand.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/CliHelp.h"
#include "geometry/FileCheck.h"
#include "geometry/ObjMesh.h"
#include "model/TextIO.h"

namespace tessary {

namespace {

std::string JsonString(std::string_view text) {
    std::string json = "\"";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

void WriteFinding(std::ostream& out, bool json, const std::string& file,
                  const CheckFinding& finding) {
    if (json) {
        out << "{\"file\":" << JsonString(file) << ",\"line\":" << finding.line
            << ",\"kind\":" << JsonString(finding.kind)
            << ",\"message\":" << JsonString(finding.message) << "}\n";
    } else if (finding.line > 0) {
        out << file << ':' << finding.line << ": " << finding.message << '\n';
    } else {
        out << file << ": " << finding.message << '\n';
    }
}

// Reads a whole file, inflated when it is compressed; on failure reports it on `err` as
// "tessary-cli: FILE: reason".
bool ReadForCheck(const std::string& path, std::string& text, std::ostream& err) {
    std::string reason;
    if (ReadWholeText(path, text, &reason)) {
        return true;
    }
    err << "tessary-cli: " << path << ": " << reason << '\n';
    return false;
}

}  // namespace

int RunCheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> files;
    std::optional<std::string> objPath;
    bool json = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--obj" || args[i] == "--format") {
            if (i + 1 >= args.size()) {
                return UsageError(err, args[i] + " needs a value");
            }
            const std::string& value = args[++i];
            if (args[i - 1] == "--obj") {
                objPath = value;
            } else if (value == "json" || value == "text") {
                json = value == "json";
            } else {
                return UsageError(err, "unknown format '" + value + "' (text or json)");
            }
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.empty()) {
        return UsageError(err, "check needs at least one FILE");
    }
    std::unique_ptr<ObjMesh> mesh;
    if (objPath) {
        std::string text;
        if (!ReadForCheck(*objPath, text, err)) {
            return 2;
        }
        mesh = std::make_unique<ObjMesh>();
        mesh->Parse(text);
    }
    int status = 0;
    for (const std::string& file : files) {
        std::string text;
        if (!ReadForCheck(file, text, err)) {
            status = 2;
            continue;
        }
        const std::vector<CheckFinding> findings = CheckFileText(text, mesh.get());
        for (const CheckFinding& finding : findings) {
            WriteFinding(out, json, file, finding);
        }
        if (!findings.empty()) {
            status = std::max(status, 1);
        }
    }
    return status;
}

}  // namespace tessary
