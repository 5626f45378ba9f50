// The script machine's record, VmContext: the tail of the game state from the render handle
// on. Every command handler receives a pointer to it.
//
// The record lives in the zero-filled task data of the main task, so every field is valid when
// zero and nothing here has a constructor that does work. Regions keep the order the game
// state fixes; the records of other subsystems are in neighbour_state.h.
//
// Thread: the game thread during the task pass, or the work thread while the work-thread
// runner owns the script (each instruction under the render lock). bRunning, bAsync and the end
// request are shared between those threads and are atomic.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/neighbour_state.h"
#include "orv/types.h"

namespace engine {

constexpr uint32_t kRegisterCount = 255;
constexpr uint32_t kUserMemoryCells = 1024;
constexpr uint32_t kSystemMemoryCells = 1024;
constexpr uint32_t kTempMemoryCells = 4096;
constexpr uint32_t kArgumentCells = 64;
constexpr uint32_t kFrameCells = 512;
constexpr uint32_t kPointStackSize = 32;
constexpr uint32_t kStringSlots = 16;
constexpr uint32_t kVarStringBytes = 2047;
constexpr uint32_t kTableHeaderBytes = 16;

// The four loaded tables, headers included; blocks from OrvMemoryAlloc held for the whole run.
struct ScriptFiles {
  uint8_t* pFileDat;
  uint8_t* pTextDat;
  uint8_t* pMemDat;
  uint8_t* pPointDat;
  uint32_t dwFileDatSize;
  uint32_t dwTextDatSize;
  uint32_t dwMemDatSize;
  uint32_t dwPointDatSize;
};

struct FrameStack {
  uint32_t dwEbp;
  uint32_t dwEsp;
  uint32_t cells[kFrameCells];
};

struct MemoryStack {
  uint32_t nDepth;
  uint32_t frames[32][256];
};

struct StringSlots {
  uint32_t nRing;
  char slots[kStringSlots][kVarStringBytes];
};

struct DecodedOp;

// The interpreter's record.
struct ScriptRunner {
  uint8_t* pCode;          // the whole Script.src image
  uint32_t dwCodeSize;     // its byte size; running ends when the pc equals it
  uint32_t dwPc;           // byte offset of the next code word
  uint32_t dwBase;         // 12: label offsets count from here
  uint32_t dwRestartPc;    // the entry offset, where a reset restarts
  uint32_t dwCommand;      // the word being run; the command id inside a command call
  uint32_t dwLastProcess;  // offset of the exit label from dwBase, 0 none
  std::atomic<uint32_t> bRunning;
  uint32_t bYield;
  std::atomic<uint32_t> bAsync;
  uint32_t dwPointStack[kPointStackSize];
  uint32_t dwPointCount;
  // Set once op_end has asked the program to end: from then on no runner executes another
  // instruction, in this slice or any later one.
  std::atomic<uint32_t> bEndRequested;
  // Instructions left before the runners ask the library again whether the program is ending
  // (an end asked for elsewhere: OrvEnd on another thread, the window's close, a signal). Set
  // bEndPollOff while the exit label runs: it is the game's last word and runs to its end.
  uint32_t dwEndPollLeft;
  uint32_t bEndPollOff;
  // Set when a fetch would leave the code; the running slice then ends.
  uint32_t bFetchFault;
  // A bound on the instructions that both runners execute, for tools that run untrusted
  // scripts (the fuzz target): while bStepLimited is set, a runner stops when dwStepsLeft is 0
  // and counts it down per instruction. The game leaves it clear.
  uint32_t bStepLimited;
  uint32_t dwStepsLeft;
  // The pre-decoded form of pCode (decoded_code.h), one entry per code word; null: none.
  DecodedOp* pDecoded;
  uint32_t dwDecodedCount;
};

// Words of several owners that steer a run (skip modes, save points, backlog, run batch).
struct RunState {
  uint32_t dwSpritePriorityBase;
  uint32_t dwKeyCancel[2];
  uint32_t dwKeyPushLog;
  uint8_t bSkip;
  uint32_t bAuto;
  uint32_t bSceneSkip;
  uint32_t dwSceneSkipArg;
  uint32_t bHistorySkip;
  uint32_t dwHistorySkipPc;
  uint32_t nRetPairs;  // (dwEbp, dwEsp) pairs that the next ret pops
  uint32_t dwSavePointMark;
  uint64_t qwSavePointValue;
  uint32_t dwSysMem509;
  uint32_t dwSysMem511;
  uint32_t dwBacklog[4];
  uint32_t dwRunStack[5];
  uint32_t dwVmValue;
  uint32_t dwBeginSkipMode;
  uint32_t dwBeginSkipKeys;
};

// Read marks: the entry-name list, the file-seen bits (2 per File.dat name) and the
// text-read bits (1 per text id); blocks from OrvMemoryAlloc.
struct SeenFlags {
  OrvHandle hEntryNames;
  uint8_t* lpFileSeen;
  uint8_t* lpTextRead;
  uint32_t dwFileSeenBytes;
  uint32_t dwTextReadBytes;
};

struct VmContext {
  OrvHandle hRender;
  TextWindow text;
  SaveStream save;
  ButtonSystem buttons;
  SystemButton systemButtons[32];
  HistoryLog history;
  WaitState wait;
  MovieWait movieWait;
  SoundState sound;
  SelectState select;
  LayerSlot layers[128];
  FaceEntry faceTable[8];
  ScriptFiles files;
  uint32_t dwImmediate;  // receives an immediate operand
  uint32_t dwScratch;    // stands in for an operand cell outside its memory (reads 0)
  uint32_t argStack[kArgumentCells];
  uint32_t reg[kRegisterCount];
  uint32_t userMem[kUserMemoryCells];
  uint32_t tempMem[kTempMemoryCells];
  uint32_t sysMem[kSystemMemoryCells];
  FrameStack frame;
  void* debugPointers[5];
  int32_t nArgCount;
  uint32_t dwResultReg;
  MemoryStack memStack;
  StringSlots strings;
  OrvHandle hDataFiles;
  uint32_t dwDataFileSerial;  // the last data-file id handed out; ids are not reused
  ScriptRunner runner;
  uint32_t dwCurrentPc;
  OrvHandle hReturnStack;
  RunState run;
  ScreenEffectState screenEffects;
  ActionSystem actions;
  ScriptThreadRecord thread;
  PlayerNameBlock playerName;
  uint32_t dwRunWaitStart;
  uint32_t dwRunWaitLength;
  uint32_t dwMessageSpeedWait;
  MessageBlock messages;
  TextTipsState tips;
  uint8_t textHookBytes[2];
  uint32_t textHookWords[2];
  uint32_t gestureTargets[8];
  uint32_t dwGesture;
  SeenFlags seen;
};

// Channels of the ReturnStack list.
constexpr uint32_t kChannelDisplayOps = 1;
constexpr uint32_t kChannelReturns = 2;
constexpr uint32_t kChannelThreadMarkers = 3;

}  // namespace engine
