#include "scripted_section.h"

#include <cstdlib>
#include <deque>
#include <map>
#include <sstream>

namespace scripted {
namespace {

std::map<std::string, std::deque<std::pair<int, std::string>>> script;
std::vector<std::string> lines;
std::function<void()> duringCall;

class Handler : public SectionHandler {
public:
    explicit Handler(int section) : section_(std::to_string(section)) { lines.push_back("make " + section_); }
    ~Handler() override { lines.push_back("destroy " + section_); }

    ResponseCode beginImport() override { return call("beginImport").first; }
    ResponseCode endImport() override { return call("endImport").first; }
    ResponseCode beginExport() override { return call("beginExport").first; }
    ResponseCode endExport() override { return call("endExport").first; }
    ResponseCode deleteAll() override { return call("deleteAll").first; }
    ResponseCode deleteRecord(const std::string& id) override { return call("deleteRecord", id).first; }
    ResponseCode writeCategoryList(const std::vector<std::string>& names) override
    {
        std::string joined;
        for (std::size_t i = 0; i < names.size(); ++i)
            joined += (i ? "|" : "") + names[i];
        return call("writeCategoryList", joined).first;
    }
    ResponseCode getRecordCount(int& count) override
    {
        const auto [result, data] = call("getRecordCount");
        count = std::atoi(data.c_str());
        return result;
    }
    ResponseCode getNextRecord(Record& record) override
    {
        const auto [result, data] = call("getNextRecord");
        record.restore(data);
        return result;
    }
    ResponseCode sendRecord(const Record& record, std::string& recordId) override
    {
        ResponseCode result;
        std::tie(result, recordId) =
            call("sendRecord", "RecordId=" + record.getField("RecordId") + " Name=" + record.getField("Name"));
        return result;
    }
    ResponseCode readCategoryList(std::vector<std::string>& names) override
    {
        const auto [result, data] = call("readCategoryList");
        std::istringstream in(data);
        names.clear();
        for (std::string name; std::getline(in, name, '|');)
            names.push_back(name);
        return result;
    }

private:
    std::pair<ResponseCode, std::string> call(const std::string& operation, const std::string& argument = "")
    {
        lines.push_back(operation + " " + section_ + (argument.empty() ? "" : " " + argument));
        if (duringCall)
            duringCall();
        std::pair<int, std::string> answer;
        if (auto& queue = script[operation]; !queue.empty()) {
            answer = queue.front();
            queue.pop_front();
        }
        return {static_cast<ResponseCode>(answer.first), answer.second};
    }

    std::string section_;
};

}  // namespace

void install(const std::vector<std::string>& scriptLines)
{
    sectionDispatch().reset();
    sectionDispatch().setMaker(makeSection);
    script.clear();
    for (const std::string& line : scriptLines) {
        std::istringstream in(line);
        std::string operation;
        std::pair<int, std::string> answer;
        in >> operation >> answer.first;
        std::getline(in >> std::ws, answer.second);
        script[operation].push_back(answer);
    }
    lines.clear();
    duringCall = nullptr;
}

std::vector<std::string> log() { return lines; }
void setDuringCall(std::function<void()> hook) { duringCall = std::move(hook); }

std::unique_ptr<SectionHandler> makeSection(const win::ComPtr<PalmApplication>&, int section)
{
    return section < 0 || section > 3 ? nullptr : std::make_unique<Handler>(section);
}

}  // namespace scripted
