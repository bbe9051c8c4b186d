/* A 32-bit Windows host's view of Fennick.dll: every export is found under its plain name and
 * under its ordinal (the same address), nothing answers to the ordinal after the last, and every
 * export called with the standard calling convention - arguments pushed right to left, the
 * callee removing them - leaves the stack pointer where it was before the arguments were
 * pushed. Byte results are read from the low 8 bits of EAX.
 *
 *   binding_host FENNICK_DLL
 *
 * Run with the simulated printer, virtual time and an empty operator script: operations that
 * need an answer end at their first dialog. Exit status 0 when all held. */
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <windows.h>

typedef struct {
  const char* name;
  int ordinal;
} Export;

/* The .def file's order: the names in byte order, ordinals 1 to 35. */
static const Export kExports[] = {
    {"BiAdjust", 1},
    {"DumpData", 2},
    {"DumpTransferROMData", 3},
    {"HandleClose", 4},
    {"HandleOpen", 5},
    {"InkCharge", 6},
    {"InkDisCharge", 7},
    {"InkDisChargeNoPowerOff", 8},
    {"LoadFile", 9},
    {"Lubrication", 10},
    {"MELoadFilePtr", 11},
    {"MotorAction", 12},
    {"MotorMoveTest", 13},
    {"NozzleClean", 14},
    {"PowerOff", 15},
    {"PowerOffTest", 16},
    {"PrintChart", 17},
    {"ReadData", 18},
    {"ReadFW", 19},
    {"ReadFatalErrorCode", 20},
    {"ReadRamFWPtr", 21},
    {"ReadTemperatureBegin", 22},
    {"ResetAll", 23},
    {"SaveFile", 24},
    {"SetCharge", 25},
    {"SetDLLVersion", 26},
    {"SetFTFlag", 27},
    {"SetHeadID", 28},
    {"SetInitialStuff", 29},
    {"SetInitialValue", 30},
    {"SetInkSystemValue", 31},
    {"TOF", 32},
    {"Transferflag", 33},
    {"UpdateFW", 34},
    {"UpdateShippingFW", 35},
};
enum { kExportCount = sizeof kExports / sizeof kExports[0] };

static HMODULE library;
static int failures;

static void fail(const char* what, const char* name) {
  printf("FAIL %s: %s\n", name, what);
  ++failures;
}

/* One call: `count` words pushed last to first, the function called, EAX and the stack pointer
 * taken right after it returns, then the stack pointer put back whatever the callee did. */
typedef struct {
  FARPROC function;
  const uint32_t* words;
  uint32_t count;
  uint32_t eax;
  int32_t esp_moved; /* bytes the stack pointer ended away from where it was */
} Call;

static void call_stdcall(Call* call) {
  uint32_t before, after, eax;
  __asm__ volatile(
      "movl %%esp, %%esi\n\t"
      "movl 8(%%ebx), %%ecx\n\t"
      "movl 4(%%ebx), %%edx\n\t"
      "1:\n\t"
      "testl %%ecx, %%ecx\n\t"
      "jz 2f\n\t"
      "pushl -4(%%edx,%%ecx,4)\n\t"
      "decl %%ecx\n\t"
      "jmp 1b\n\t"
      "2:\n\t"
      "call *(%%ebx)\n\t"
      "movl %%esp, %%edi\n\t"
      "movl %%esi, %%esp\n\t"
      : "=&a"(eax), "=&S"(before), "=&D"(after)
      : "b"(call)
      : "ecx", "edx", "memory", "cc");
  call->eax = eax;
  call->esp_moved = (int32_t)(after - before);
}

static FARPROC find(const char* name) {
  int i;
  for (i = 0; i < kExportCount; ++i) {
    if (strcmp(kExports[i].name, name) == 0) return GetProcAddress(library, name);
  }
  return NULL;
}

/* Calls export `name` with `count` argument words; returns EAX. */
static uint32_t call(const char* name, const uint32_t* words, uint32_t count) {
  Call c;
  c.function = find(name);
  c.words = words;
  c.count = count;
  c.eax = 0;
  c.esp_moved = 0;
  if (!c.function) {
    fail("not found", name);
    return 0;
  }
  call_stdcall(&c);
  if (c.esp_moved != 0) {
    char what[80];
    snprintf(what, sizeof what, "stack pointer moved by %ld bytes", (long)c.esp_moved);
    fail(what, name);
  }
  return c.eax;
}

#define WORDS(...) ((const uint32_t[]){__VA_ARGS__})
#define CALL(name, ...) \
  call(#name, WORDS(__VA_ARGS__), sizeof(WORDS(__VA_ARGS__)) / sizeof(uint32_t))
#define CALL0(name) call(#name, NULL, 0)
#define PTR(p) ((uint32_t)(uintptr_t)(p))

static void expect_byte(const char* name, uint32_t eax, unsigned want) {
  if ((eax & 0xFFu) != want) {
    char what[80];
    snprintf(what, sizeof what, "result %u in the low byte, expected %u", eax & 0xFFu, want);
    fail(what, name);
  }
}

static void check_lookups(void) {
  int i;
  for (i = 0; i < kExportCount; ++i) {
    FARPROC by_name = GetProcAddress(library, kExports[i].name);
    FARPROC by_ordinal = GetProcAddress(library, MAKEINTRESOURCEA(kExports[i].ordinal));
    if (!by_name) fail("not found by name", kExports[i].name);
    if (!by_ordinal) fail("not found by ordinal", kExports[i].name);
    if (by_name != by_ordinal) fail("name and ordinal give different addresses", kExports[i].name);
  }
  if (GetProcAddress(library, MAKEINTRESOURCEA(kExportCount + 1))) fail("exported", "ordinal 36");
  /* The decorated names of the compiler are not exported. */
  if (GetProcAddress(library, "HandleOpen@0") || GetProcAddress(library, "_HandleOpen@0")) {
    fail("exported under its decorated name", "HandleOpen");
  }
}

static void check_calls(void) {
  unsigned char head[44], read_back[44], label[24], summary[77];
  uint32_t by_value[11], value = 0, words[13];
  int i;

  memset(head, 0, sizeof head);
  memset(read_back, 0, sizeof read_back);
  memset(label, 0, sizeof label);
  memcpy(label, "CT", 2);
  memset(summary, 0, sizeof summary);

  CALL(SetDLLVersion, PTR("H001"));
  expect_byte("HandleOpen", CALL0(HandleOpen), 1);
  CALL(ReadData, PTR(head), 0);
  expect_byte("ReadRamFWPtr", CALL(ReadRamFWPtr, PTR(&value)), 1);
  if (value == 0) fail("no value read", "ReadRamFWPtr");
  if ((int32_t)CALL0(ReadTemperatureBegin) < 0) fail("no temperature", "ReadTemperatureBegin");
  expect_byte("DumpTransferROMData", CALL(DumpTransferROMData, PTR(summary)), 1);
  if (memcmp(summary + 3, head + 0x15, 6) != 0) fail("head ID not in the record", "ReadData");

  /* PrintChart: the 44-byte block as eleven words, then the label and the chart number. The
   * chart count in the label proves the words after the block were where they belong. */
  memcpy(by_value, head, sizeof by_value);
  for (i = 0; i < 11; ++i) words[i] = by_value[i];
  words[11] = PTR(label);
  words[12] = 5;
  call("PrintChart", words, 13);
  if (label[22] != 1) fail("chart print count not counted", "PrintChart");
  CALL(NozzleClean, PTR(label), 1);

  /* The rest, each ending at its first dialog or doing its work. */
  CALL(MELoadFilePtr, PTR("x"), 1);
  CALL(SetHeadID, PTR(head));
  CALL0(SetInkSystemValue);
  CALL0(Lubrication);
  CALL0(InkCharge);
  CALL(InkDisChargeNoPowerOff, 0);
  CALL(TOF, PTR(head), PTR(read_back), PTR(label));
  CALL(BiAdjust, PTR(head), PTR(read_back), PTR(label), 0);
  CALL(DumpData, 0);
  CALL0(SetInitialValue);
  CALL0(ResetAll);
  CALL0(LoadFile);
  CALL0(SaveFile);
  CALL0(SetCharge);
  CALL0(ReadFW);
  CALL0(SetInitialStuff);
  CALL0(SetFTFlag);
  CALL0(ReadFatalErrorCode);
  CALL0(UpdateFW);
  CALL(UpdateShippingFW, 0);
  CALL0(Transferflag);
  CALL0(MotorMoveTest);
  CALL0(MotorAction);
  CALL0(PowerOffTest);
  CALL(InkDisCharge, 0);
  CALL(PowerOff, 0);
  if (CALL0(HandleClose) == 0) fail("link was not open", "HandleClose");
  /* Closed already: 0 in the whole of EAX. */
  if (CALL0(HandleClose) != 0) fail("closed twice", "HandleClose");
}

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s FENNICK_DLL\n", argv[0]);
    return 2;
  }
  library = LoadLibraryA(argv[1]);
  if (!library) {
    fprintf(stderr, "binding_host: cannot load %s (error %lu)\n", argv[1], GetLastError());
    return 2;
  }
  check_lookups();
  check_calls();
  FreeLibrary(library);
  printf("%s\n", failures ? "binding FAILED" : "binding ok: 35 exports by name and ordinal");
  return failures ? 1 : 0;
}
