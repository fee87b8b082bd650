// Throughput of the record and message text codecs, each next to a plain
// memcpy of the same number of bytes measured in the same run. Every result
// reports bytes/s and "x_memcpy", its throughput as a fraction of memcpy's
// for the same shape. Each shape comes in two sizes, ten times apart, to
// show that the cost grows linearly.

#include "channel/command_processor.h"
#include "record/record.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

struct Shape {
    std::string name;
    Record record;
    std::string recordText;
    std::string messageText;
};

Record manyFields(int count)
{
    Record record;
    char key[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(key, sizeof key, "%03d.Field %05d", 100 + i % 50, i);
        record.putField(key, std::string(20, static_cast<char>('a' + i % 26)));
    }
    return record;
}

Record oneValue(std::size_t bytes)
{
    Record record;
    record.putField("401.Memo Body", std::string(bytes, 'x'));
    return record;
}

std::vector<Shape> makeShapes()
{
    std::vector<Shape> shapes;
    const auto add = [&shapes](std::string name, Record record) {
        CommandProcessor message;
        message.setCommand(CmdSendRecord);
        message.setRecord(record);
        std::string recordText = record.save();
        std::string messageText = message.serialize();
        shapes.push_back({std::move(name), std::move(record), std::move(recordText),
                          std::move(messageText)});
    };
    add("fields_100x20B", manyFields(100));
    add("fields_1000x20B", manyFields(1000));
    add("value_90000B", oneValue(90000));
    add("value_900000B", oneValue(900000));
    return shapes;
}

const std::vector<Shape>& shapes()
{
    static const std::vector<Shape> all = makeShapes();
    return all;
}

void memcpyBench(benchmark::State& state, const Shape* shape)
{
    const std::string& source = shape->messageText;
    std::vector<char> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(source.size()));
}

void recordSave(benchmark::State& state, const Shape* shape)
{
    for (auto _ : state) {
        std::string text = shape->record.save();
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(shape->recordText.size()));
}

void recordRestore(benchmark::State& state, const Shape* shape)
{
    Record record;
    for (auto _ : state) {
        record.restore(shape->recordText);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(shape->recordText.size()));
}

void messageSerialize(benchmark::State& state, const Shape* shape)
{
    CommandProcessor message;
    message.setCommand(CmdSendRecord);
    message.setRecord(shape->record);
    for (auto _ : state)
        benchmark::DoNotOptimize(message.serialize());
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(shape->messageText.size()));
}

void messageParse(benchmark::State& state, const Shape* shape)
{
    CommandProcessor message;
    for (auto _ : state) {
        message.parse(shape->messageText.c_str());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(shape->messageText.size()));
}

/// Adds "x_memcpy" to every result: its bytes/s over memcpy's for the same
/// shape (the memcpy results run first).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> withRatio = runs;
        for (Run& run : withRatio) {
            const std::string name = run.benchmark_name();
            const std::string shape = name.substr(name.find('/') + 1);
            const auto rate = run.counters.find("bytes_per_second");
            if (rate == run.counters.end())
                continue;
            if (name.rfind("memcpy/", 0) == 0)
                memcpyRates_[shape] = rate->second.value;
            const auto reference = memcpyRates_.find(shape);
            if (reference != memcpyRates_.end() && reference->second > 0)
                run.counters["x_memcpy"] = rate->second.value / reference->second;
        }
        ConsoleReporter::ReportRuns(withRatio);
    }

private:
    std::map<std::string, double> memcpyRates_;
};

}  // namespace

int main(int argc, char** argv)
{
    for (const Shape& shape : shapes())
        benchmark::RegisterBenchmark(("memcpy/" + shape.name).c_str(), memcpyBench, &shape);
    const std::pair<const char*, void (*)(benchmark::State&, const Shape*)> codecs[] = {
        {"record_save/", recordSave},
        {"record_restore/", recordRestore},
        {"message_serialize/", messageSerialize},
        {"message_parse/", messageParse},
    };
    for (const auto& [prefix, codec] : codecs)
        for (const Shape& shape : shapes())
            benchmark::RegisterBenchmark((prefix + shape.name).c_str(), codec, &shape);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
