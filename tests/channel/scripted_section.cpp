#include "scripted_section.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace scripted {
namespace {

std::string join(const std::vector<std::string>& parts, char separator)
{
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i)
        text += (i ? std::string(1, separator) : std::string()) + parts[i];
    return text;
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

struct Answer {
    int result = 0;
    std::string data;
};

std::map<std::string, std::deque<Answer>> script;
std::vector<std::string> lines;
std::string mirrorPath;
std::function<void()> duringCall;

void write(const std::string& line)
{
    lines.push_back(line);
    if (mirrorPath.empty())
        return;
    if (FILE* file = std::fopen(mirrorPath.c_str(), "ab")) {
        std::fprintf(file, "%s\n", line.c_str());
        std::fclose(file);
    }
}

std::string fieldsOf(const Record& record, const std::vector<std::string>& keys)
{
    std::vector<std::string> parts;
    for (const std::string& key : keys)
        parts.push_back(key + "=" + record.getField(key));
    return join(parts, ' ');
}

class Handler : public SectionHandler {
public:
    explicit Handler(int section) : section_(section) { write("make " + std::to_string(section)); }
    ~Handler() override { write("destroy " + std::to_string(section_)); }

    ResponseCode beginImport() override { return plain("beginImport").result; }
    ResponseCode endImport() override { return plain("endImport").result; }
    ResponseCode beginExport() override { return plain("beginExport").result; }
    ResponseCode endExport() override { return plain("endExport").result; }
    ResponseCode getRecordCount(int& count) override
    {
        const Call call = plain("getRecordCount");
        count = std::atoi(call.data.c_str());
        return call.result;
    }
    ResponseCode getNextRecord(Record& record) override
    {
        const Call call = plain("getNextRecord");
        std::istringstream pairs(call.data);
        for (std::string pair; pairs >> pair;) {
            const std::size_t eq = pair.find('=');
            std::string value = pair.substr(eq + 1);
            if (!value.empty() && value[0] == '#')
                value = std::string(std::stoul(value.substr(1)), 'x');
            record.putField(pair.substr(0, eq), value);
        }
        return call.result;
    }
    ResponseCode sendRecord(const Record& record, std::string& recordId) override
    {
        const Call call = plain("sendRecord", fieldsOf(record, {"RecordId", "Name"}));
        recordId = call.data;
        return call.result;
    }
    ResponseCode readCategoryList(std::vector<std::string>& names) override
    {
        const Call call = plain("readCategoryList");
        names = split(call.data, '|');
        return call.result;
    }
    ResponseCode writeCategoryList(const std::vector<std::string>& names) override
    {
        return plain("writeCategoryList", join(names, '|')).result;
    }
    ResponseCode deleteRecord(const std::string& recordId) override
    {
        return plain("deleteRecord", recordId).result;
    }
    ResponseCode deleteAll() override { return plain("deleteAll").result; }

private:
    struct Call {
        ResponseCode result;
        std::string data;
    };

    Call plain(const std::string& operation, const std::string& argument = "")
    {
        write(operation + " " + std::to_string(section_) + (argument.empty() ? "" : " " + argument));
        if (duringCall)
            duringCall();
        Answer answer;
        auto& queue = script[operation];
        if (!queue.empty()) {
            answer = queue.front();
            queue.pop_front();
        }
        return {static_cast<ResponseCode>(answer.result), answer.data};
    }

    int section_;
};

}  // namespace

void setScript(const std::vector<std::string>& scriptLines)
{
    script.clear();
    for (const std::string& line : scriptLines) {
        std::istringstream in(line);
        std::string operation;
        Answer answer;
        in >> operation >> answer.result;
        std::getline(in >> std::ws, answer.data);
        script[operation].push_back(answer);
    }
}

void loadScript(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> scriptLines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            scriptLines.push_back(line);
    setScript(scriptLines);
}

std::vector<std::string> log() { return lines; }
void clearLog() { lines.clear(); }
void mirrorLogTo(const std::string& path) { mirrorPath = path; }
void setDuringCall(std::function<void()> hook) { duringCall = std::move(hook); }

std::unique_ptr<SectionHandler> makeSection(const win::ComPtr<PalmApplication>&, int section)
{
    if (section < 0 || section > 3)
        return nullptr;
    return std::make_unique<Handler>(section);
}

}  // namespace scripted
