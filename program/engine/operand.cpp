#include "engine/operand.h"

#include "engine/vm_log.h"

namespace engine {
namespace {

uint32_t* out_of_range(VmContext& vm, uint32_t word) {
  vm_log(kLogMain, "[%d]operand 0x%08X outside its memory", vm.runner.dwPc, word);
  vm.dwScratch = 0;
  return &vm.dwScratch;
}

uint32_t* mem_dat_cell(VmContext& vm, uint32_t index, uint32_t word) {
  if (index >= mem_dat_cells(vm)) return out_of_range(vm, word);
  return reinterpret_cast<uint32_t*>(vm.files.pMemDat + kTableHeaderBytes) + index;
}

}  // namespace

uint32_t* decode_operand_slow(VmContext& vm, uint32_t word) {
  const uint32_t kind = word >> 28;
  const uint32_t k = (word >> 16) & 0xFFF;
  const uint32_t n = word & 0xFFFF;
  // Kinds that index through R[n] need a valid register first.
  switch (kind) {
    case 1:
    case 2:
    case 5:
    case 6:
    case 7:
      if (n >= kRegisterCount) return out_of_range(vm, word);
      break;
    default:
      break;
  }
  switch (kind) {
    case 1: {
      const uint32_t i = vm.reg[n];
      return i < kUserMemoryCells ? &vm.userMem[i] : out_of_range(vm, word);
    }
    case 2: {
      const uint32_t i = vm.reg[n];
      return i < kSystemMemoryCells ? &vm.sysMem[i] : out_of_range(vm, word);
    }
    case 3:
      return n < kArgumentCells ? &vm.argStack[n] : out_of_range(vm, word);
    case 4:
      return n < kRegisterCount ? &vm.reg[n] : out_of_range(vm, word);
    case 5: {
      const uint32_t f = k ? k + vm.frame.dwEbp : 0;
      const uint32_t i = vm.reg[n] + f;
      return i < kTempMemoryCells ? &vm.tempMem[i] : out_of_range(vm, word);
    }
    case 6:
      return mem_dat_cell(vm, vm.reg[n] + k, word);
    case 7: {
      if (k >= mem_dat_cells(vm)) return out_of_range(vm, word);
      const uint32_t m = reinterpret_cast<const uint32_t*>(vm.files.pMemDat + kTableHeaderBytes)[k];
      return mem_dat_cell(vm, vm.reg[n] + ((m >> 16) & 0xFFF), word);
    }
    case 8: {
      const uint32_t i = vm.frame.dwEsp - n;
      return i < kFrameCells ? &vm.frame.cells[i] : out_of_range(vm, word);
    }
    case 9:
      return &vm.frame.dwEbp;
    default:  // 0 and 10-15: immediates
      vm.dwImmediate = word;
      return &vm.dwImmediate;
  }
}

uint32_t* raw_register(VmContext& vm, uint32_t word) {
  const uint32_t n = word & 0xFFFF;
  if (n < kRegisterCount) return &vm.reg[n];
  vm_log(kLogMain, "[%d]register %u outside the register file", vm.runner.dwPc, n);
  vm.dwScratch = 0;
  return &vm.dwScratch;
}

bool label_target(VmContext& vm, uint32_t label, uint32_t* pc) {
  uint32_t offset = 0;
  if (label != 0) {
    const uint32_t size = vm.files.dwPointDatSize;
    const uint32_t words = size > kTableHeaderBytes ? (size - kTableHeaderBytes) / 4 : 0;
    if (label > words) {
      vm_log(kLogMain, "[%d]label %u outside Point.dat", vm.runner.dwPc, label);
      return false;
    }
    std::memcpy(&offset, vm.files.pPointDat + size - 4u * label, 4);
  }
  *pc = vm.runner.dwBase + offset;
  return true;
}

}  // namespace engine
