// The macro engine against Lua 5.4 on the same workloads: each workload is
// compiled once and then run per iteration, in both engines.
#include "platform/MemoryPolicy.h"
#include "script/HalComp.h"

#include <benchmark/benchmark.h>

extern "C" {
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
}

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

struct TWorkload {
    const char* Name;
    const char* Macro;
    const char* Lua;
};

const TWorkload kWorkloads[] = {
    {"IntegerLoop3M",
     "var i, s: integer;\nbegin\n  s := 0;\n  for i := 1 to 3000000 do s := s + i mod 7;\nend.",
     "local s = 0\nfor i = 1, 3000000 do s = s + i % 7 end\nreturn s"},
    {"RealLoop1M",
     "var i: integer; x: real;\nbegin\n  x := 0.0;\n  for i := 1 to 1000000 do x := x + i * 0.5;\nend.",
     "local x = 0.0\nfor i = 1, 1000000 do x = x + i * 0.5 end\nreturn x"},
    {"StringAppend50k",
     "var i: integer; s: string;\nbegin\n  s := '';\n  for i := 1 to 50000 do s := s + 'x';\nend.",
     "local s = ''\nfor i = 1, 50000 do s = s .. 'x' end\nreturn #s"},
    {"StringListSieve200k",
     "var l: TStringList; i, j, n, c: integer;\n"
     "begin\n  n := 200000;\n  l := TStringList.Create;\n"
     "  for i := 0 to n - 1 do l.Add('1');\n"
     "  i := 2;\n  while i * i < n do begin\n"
     "    if l.Strings[i] = '1' then begin\n      j := i * i;\n"
     "      while j < n do begin l.Strings[j] := '0'; j := j + i end\n    end;\n"
     "    i := i + 1\n  end;\n"
     "  c := 0;\n  for i := 2 to n - 1 do if l.Strings[i] = '1' then c := c + 1;\n"
     "  l.Free;\nend.",
     "local n = 200000\nlocal l = {}\nfor i = 0, n - 1 do l[#l + 1] = '1' end\n"
     "local i = 2\nwhile i * i < n do\n  if l[i + 1] == '1' then\n    local j = i * i\n"
     "    while j < n do l[j + 1] = '0'; j = j + i end\n  end\n  i = i + 1\nend\n"
     "local c = 0\nfor k = 2, n - 1 do if l[k + 1] == '1' then c = c + 1 end end\nreturn c"},
    {"FunctionCalls100k",
     "var i, s: integer;\nfunction Next(x: integer): integer;\nbegin\n  Result := x + 1;\nend;\n"
     "begin\n  s := 0;\n  for i := 1 to 100000 do s := Next(s);\nend.",
     "local function Next(x) return x + 1 end\nlocal s = 0\nfor i = 1, 100000 do s = Next(s) end\nreturn s"},
    {"RecursiveCalls2M",
     "var k: integer;\nprocedure Down(n: integer);\nbegin\n  if n > 0 then Down(n - 1);\nend;\n"
     "begin\n  for k := 1 to 2000 do Down(999);\nend.",
     "local function Down(n) if n > 0 then Down(n - 1) end end\nfor k = 1, 2000 do Down(999) end"},
};

void RunMacro(benchmark::State& state, const TWorkload& workload) {
    THalComp component;
    component.SetScriptText(workload.Macro);
    component.Prepare();
    component.Run(); // compiles
    for (auto _ : state)
        component.Runner()->Program()->Run();
}

void RunLua(benchmark::State& state, const TWorkload& workload) {
    lua_State* lua = luaL_newstate();
    luaL_openlibs(lua);
    if (luaL_loadstring(lua, workload.Lua) != LUA_OK) throw std::runtime_error(lua_tostring(lua, -1));
    const int chunk = luaL_ref(lua, LUA_REGISTRYINDEX);
    for (auto _ : state) {
        lua_rawgeti(lua, LUA_REGISTRYINDEX, chunk);
        if (lua_pcall(lua, 0, 1, 0) != LUA_OK) throw std::runtime_error(lua_tostring(lua, -1));
        lua_pop(lua, 1);
    }
    lua_close(lua);
}

// With --benchmark_repetitions the fastest repetition is reported too: on a
// shared machine it is the one least disturbed by other work (run with
// --benchmark_enable_random_interleaving so that both engines meet the
// same disturbances).
double Fastest(const std::vector<double>& times) {
    return *std::min_element(times.begin(), times.end());
}

const bool kRegistered = [] {
    for (const TWorkload& workload : kWorkloads) {
        benchmark::RegisterBenchmark((std::string("Macro/") + workload.Name).c_str(),
                                     [&workload](benchmark::State& state) { RunMacro(state, workload); })
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("min", Fastest);
        benchmark::RegisterBenchmark((std::string("Lua/") + workload.Name).c_str(),
                                     [&workload](benchmark::State& state) { RunLua(state, workload); })
            ->Unit(benchmark::kMillisecond)
            ->ComputeStatistics("min", Fastest);
    }
    return true;
}();

} // namespace

// The engine runs in the memory configuration of the program.
int main(int argc, char** argv) {
    KeepFreedMemoryForReuse();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
