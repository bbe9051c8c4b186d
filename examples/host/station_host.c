/* A station host in plain C: loads libfennick (dlopen, or LoadLibrary for Fennick.dll), looks up
 * every export by name and runs a short station cycle. With the simulated printer and a scripted
 * operator it runs unattended:
 *
 *   TARVO_PRINTER=sim TARVO_VIRTUAL_TIME=1 TARVO_OPERATOR=script:station.script \
 *     ./fennick_station_host /usr/local/lib/libfennick.so
 *
 * run from a folder that holds the chart print files (I_NC_1.prn, ...). Exit status 0 when every
 * step gave the result expected. */
#include <stdio.h>
#include <string.h>

#include "fennick.h"

/* Loading a library and finding a symbol, on each system. */
#ifdef _WIN32
#include <windows.h>
#define open_library(path) ((void*)LoadLibraryA(path))
static void* find_symbol(void* library, const char* name) {
  FARPROC address = GetProcAddress((HMODULE)library, name);
  void* data;
  memcpy(&data, &address, sizeof data); /* a code address kept as data, as dlsym gives it */
  return data;
}
#define close_library(library) FreeLibrary((HMODULE)(library))
#define load_error() "LoadLibrary failed"
#else
#include <dlfcn.h>
#define open_library(path) dlopen(path, RTLD_NOW | RTLD_LOCAL)
#define find_symbol(library, name) dlsym(library, name)
#define close_library(library) dlclose(library)
#define load_error() dlerror()
#endif

/* The exports, looked up by name. */
static struct {
  unsigned char(FENNICK_CALL* HandleOpen)(void);
  int32_t(FENNICK_CALL* HandleClose)(void);
  unsigned char(FENNICK_CALL* ReadRamFWPtr)(uint32_t*);
  int32_t(FENNICK_CALL* ReadTemperatureBegin)(void);
  int32_t(FENNICK_CALL* PowerOff)(int32_t);
  unsigned char(FENNICK_CALL* MELoadFilePtr)(const char*, int32_t);
  int32_t(FENNICK_CALL* ReadData)(unsigned char*, unsigned char*);
  unsigned char(FENNICK_CALL* SetHeadID)(unsigned char*);
  unsigned char(FENNICK_CALL* SetInkSystemValue)(void);
  void(FENNICK_CALL* NozzleClean)(unsigned char*, int32_t);
  void(FENNICK_CALL* Lubrication)(void);
  void(FENNICK_CALL* InkCharge)(void);
  unsigned char(FENNICK_CALL* InkDisCharge)(int32_t);
  unsigned char(FENNICK_CALL* InkDisChargeNoPowerOff)(int32_t);
  unsigned char(FENNICK_CALL* TOF)(unsigned char*, unsigned char*, unsigned char*);
  unsigned char(FENNICK_CALL* BiAdjust)(unsigned char*, unsigned char*, unsigned char*, uint32_t);
  void(FENNICK_CALL* PrintChart)(FennickHead44, unsigned char*, uint32_t);
  void(FENNICK_CALL* SetDLLVersion)(const char*);
  void(FENNICK_CALL* DumpData)(int32_t);
  void(FENNICK_CALL* SetInitialValue)(void);
  unsigned char(FENNICK_CALL* DumpTransferROMData)(unsigned char*);
  void(FENNICK_CALL* ResetAll)(void);
  void(FENNICK_CALL* LoadFile)(void);
  void(FENNICK_CALL* SaveFile)(void);
  void(FENNICK_CALL* SetCharge)(void);
  void(FENNICK_CALL* ReadFW)(void);
  void(FENNICK_CALL* SetInitialStuff)(void);
  void(FENNICK_CALL* SetFTFlag)(void);
  void(FENNICK_CALL* ReadFatalErrorCode)(void);
  void(FENNICK_CALL* UpdateFW)(void);
  void(FENNICK_CALL* UpdateShippingFW)(int32_t);
  void(FENNICK_CALL* Transferflag)(void);
  void(FENNICK_CALL* MotorMoveTest)(void);
  void(FENNICK_CALL* MotorAction)(void);
  void(FENNICK_CALL* PowerOffTest)(void);
} fn;

static int failures = 0;

/* Looks up one export; POSIX allows a data pointer to be stored into a function pointer so. */
static void look_up(void* library, const char* name, void* slot) {
  void* address = find_symbol(library, name);
  if (!address) {
    fprintf(stderr, "station_host: %s is not exported\n", name);
    ++failures;
  }
  memcpy(slot, &address, sizeof address);
}

#define LOOK_UP(library, name) look_up(library, #name, &fn.name)

static void expect(const char* step, long got, long want) {
  printf("%-22s %ld%s\n", step, got, got == want ? "" : "  <- unexpected");
  if (got != want) ++failures;
}

int main(int argc, char** argv) {
  unsigned char head[44], read_back[44], label[24], summary[77];
  FennickHead44 by_value;
  void* library;

  if (argc != 2) {
    fprintf(stderr, "usage: %s LIBFENNICK\n", argv[0]);
    return 2;
  }
  library = open_library(argv[1]);
  if (!library) {
    fprintf(stderr, "station_host: %s\n", load_error());
    return 2;
  }
  LOOK_UP(library, HandleOpen);
  LOOK_UP(library, HandleClose);
  LOOK_UP(library, ReadRamFWPtr);
  LOOK_UP(library, ReadTemperatureBegin);
  LOOK_UP(library, PowerOff);
  LOOK_UP(library, MELoadFilePtr);
  LOOK_UP(library, ReadData);
  LOOK_UP(library, SetHeadID);
  LOOK_UP(library, SetInkSystemValue);
  LOOK_UP(library, NozzleClean);
  LOOK_UP(library, Lubrication);
  LOOK_UP(library, InkCharge);
  LOOK_UP(library, InkDisCharge);
  LOOK_UP(library, InkDisChargeNoPowerOff);
  LOOK_UP(library, TOF);
  LOOK_UP(library, BiAdjust);
  LOOK_UP(library, PrintChart);
  LOOK_UP(library, SetDLLVersion);
  LOOK_UP(library, DumpData);
  LOOK_UP(library, SetInitialValue);
  LOOK_UP(library, DumpTransferROMData);
  LOOK_UP(library, ResetAll);
  LOOK_UP(library, LoadFile);
  LOOK_UP(library, SaveFile);
  LOOK_UP(library, SetCharge);
  LOOK_UP(library, ReadFW);
  LOOK_UP(library, SetInitialStuff);
  LOOK_UP(library, SetFTFlag);
  LOOK_UP(library, ReadFatalErrorCode);
  LOOK_UP(library, UpdateFW);
  LOOK_UP(library, UpdateShippingFW);
  LOOK_UP(library, Transferflag);
  LOOK_UP(library, MotorMoveTest);
  LOOK_UP(library, MotorAction);
  LOOK_UP(library, PowerOffTest);
  if (failures) {
    close_library(library);
    return 1;
  }

  memset(head, 0, sizeof head);
  memset(read_back, 0, sizeof read_back);
  memset(label, 0, sizeof label);
  memcpy(label, "CT", 2);
  memset(summary, 0, sizeof summary);

  fn.SetDLLVersion("H001");
  expect("HandleOpen", fn.HandleOpen(), 1);
  fn.ReadData(head, NULL);
  expect("SetHeadID", fn.SetHeadID(head), 1);
  fn.NozzleClean(label, 1);
  expect("nozzle cleanings", label[21], 1);
  memcpy(by_value.bytes, head, sizeof by_value.bytes);
  fn.PrintChart(by_value, label, 5);
  expect("charts printed", label[22], 1);
  expect("TOF", fn.TOF(head, read_back, label), 1);
  expect("BiAdjust MS1", fn.BiAdjust(head, read_back, label, 0), 1);
  expect("MS1 stored", (signed char)read_back[0x1B], (signed char)head[0x1B]);
  expect("ReadTemperatureBegin", fn.ReadTemperatureBegin() >= 0, 1);
  expect("DumpTransferROMData", fn.DumpTransferROMData(summary), 1);
  expect("summary head ID", memcmp(summary + 3, head + 0x15, 6), 0);
  expect("HandleClose", fn.HandleClose() != 0, 1);

  close_library(library);
  printf("%s\n", failures ? "station cycle FAILED" : "station cycle done");
  return failures ? 1 : 0;
}
