#include "core/PtrMap.h"

#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

using namespace lumavine;

namespace {

constexpr int keyCount = 100000;

// Keys shaped like the program's: a name with a running number.
const std::vector<String>& keys()
{
    static const std::vector<String> made = [] {
        std::vector<String> list;
        list.reserve(keyCount);
        for (int i = 0; i < keyCount; ++i) {
            String key(u"shape-name-");
            key.appendInt(i);
            list.push_back(std::move(key));
        }
        return list;
    }();
    return made;
}

const std::vector<String>& missingKeys()
{
    static const std::vector<String> made = [] {
        std::vector<String> list;
        list.reserve(keyCount);
        for (int i = 0; i < keyCount; ++i) {
            String key(u"absent-name-");
            key.appendInt(i);
            list.push_back(std::move(key));
        }
        return list;
    }();
    return made;
}

void BM_PtrMapInsert(benchmark::State& state)
{
    const auto& all = keys();
    for (auto _ : state) {
        PtrMap map(state.range(0) != 0);
        for (const String& key : all)
            map.add(key, const_cast<String*>(&key));
        benchmark::DoNotOptimize(map.count());
    }
    state.SetItemsProcessed(state.iterations() * keyCount);
}

void BM_UnorderedMapInsert(benchmark::State& state)
{
    const auto& all = keys();
    for (auto _ : state) {
        std::unordered_map<std::u16string, void*> map;
        for (const String& key : all)
            map.emplace(key, const_cast<String*>(&key));
        benchmark::DoNotOptimize(map.size());
    }
    state.SetItemsProcessed(state.iterations() * keyCount);
}

void BM_PtrMapLookup(benchmark::State& state)
{
    const auto& all = keys();
    const auto& probes = state.range(1) ? missingKeys() : keys();
    PtrMap map(state.range(0) != 0);
    for (const String& key : all)
        map.add(key, const_cast<String*>(&key));
    for (auto _ : state) {
        size_t found = 0;
        for (const String& key : probes)
            found += map.get(key) != nullptr;
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * keyCount);
}

void BM_UnorderedMapLookup(benchmark::State& state)
{
    const auto& all = keys();
    const auto& probes = state.range(0) ? missingKeys() : keys();
    std::unordered_map<std::u16string, void*> map;
    for (const String& key : all)
        map.emplace(key, const_cast<String*>(&key));
    for (auto _ : state) {
        size_t found = 0;
        for (const String& key : probes)
            found += map.find(key) != map.end();
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * keyCount);
}

}

// Argument 0: 1 exact keys, 0 keys ignoring case. Lookup argument 1: 0 hits, 1 misses.
BENCHMARK(BM_PtrMapInsert)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapInsert)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PtrMapLookup)
    ->Args({ 1, 0 })
    ->Args({ 1, 1 })
    ->Args({ 0, 0 })
    ->Args({ 0, 1 })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMapLookup)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
