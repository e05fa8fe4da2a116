#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <mutex>

#include "tables/file_view.h"

namespace tables {
namespace {

// Reading a mapped page that no longer exists in the file (another program
// truncated it) raises SIGBUS. The handler puts zero pages in place of the
// rest of the view and marks it damaged, so the reader carries on and the
// table reports the damage instead of the program dying. The slots are
// read inside the signal handler, hence plain atomics and a fixed size.
struct Slot {
  std::atomic<uintptr_t> start{0};
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> damaged{false};
};

constexpr int kSlots = 64;
Slot slots[kSlots];
struct sigaction previous_action;

void OnBusError(int signal, siginfo_t* info, void* context) {
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  const auto page_size = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
  for (Slot& slot : slots) {
    const uintptr_t start = slot.start.load(std::memory_order_acquire);
    const uintptr_t end = slot.end.load(std::memory_order_acquire);
    if (start == 0 || address < start || address >= end) continue;
    const uintptr_t page = address & ~(page_size - 1);
    void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros == MAP_FAILED) break;
    slot.damaged.store(true, std::memory_order_release);
    return;
  }
  // Not one of ours: whatever handled SIGBUS before us.
  if ((previous_action.sa_flags & SA_SIGINFO) &&
      previous_action.sa_sigaction != nullptr) {
    previous_action.sa_sigaction(signal, info, context);
    return;
  }
  ::sigaction(SIGBUS, &previous_action, nullptr);  // the fault comes again
}

void InstallHandler() {
  struct sigaction action {};
  action.sa_sigaction = &OnBusError;
  action.sa_flags = SA_SIGINFO | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, &previous_action);
}

class PosixFileView : public FileView {
 public:
  PosixFileView(void* mapping, size_t mapped, const char* data, size_t size,
                Slot* slot)
      : FileView(data, size, &slot->damaged),
        mapping_(mapping),
        mapped_(mapped),
        slot_(slot) {}
  ~PosixFileView() override {
    slot_->start.store(0, std::memory_order_release);
    slot_->end.store(0, std::memory_order_release);
    ::munmap(mapping_, mapped_);
  }

 private:
  void* mapping_;
  size_t mapped_;
  Slot* slot_;
};

std::mutex slots_mutex;

Slot* ClaimSlot(uintptr_t start, uintptr_t end) {
  std::lock_guard<std::mutex> lock(slots_mutex);
  for (Slot& slot : slots) {
    if (slot.start.load(std::memory_order_acquire) != 0) continue;
    slot.damaged.store(false, std::memory_order_release);
    slot.end.store(end, std::memory_order_release);
    slot.start.store(start, std::memory_order_release);
    return &slot;
  }
  return nullptr;
}

}  // namespace

std::unique_ptr<FileView> MapFileView(int fd, uint64_t offset, size_t size) {
  static std::once_flag installed;
  std::call_once(installed, InstallHandler);
  const auto page_size = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  const uint64_t start = offset - offset % page_size;
  const auto mapped = static_cast<size_t>(offset - start + size);
  void* mapping = ::mmap(nullptr, mapped, PROT_READ, MAP_PRIVATE, fd,
                         static_cast<off_t>(start));
  if (mapping == MAP_FAILED) return nullptr;
  const auto base = reinterpret_cast<uintptr_t>(mapping);
  Slot* slot = ClaimSlot(base, base + mapped);
  if (slot == nullptr) {  // too many views at once: read the file instead
    ::munmap(mapping, mapped);
    return nullptr;
  }
  const char* data = static_cast<const char*>(mapping) + (offset - start);
  return std::make_unique<PosixFileView>(mapping, mapped, data, size, slot);
}

}  // namespace tables
