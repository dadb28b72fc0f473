#pragma once
// An ordered list of records the adapter owns (its buses, their input
// connections, the property listeners), each held by a unique_ptr. Get
// answers null outside the list, since hosts name buses by element numbers
// of their own choosing. Threads: the owner's; adding and deleting
// allocate, so they belong to the main thread.

#include <memory>
#include <vector>

template <class T>
class AUOwnedList {
public:
  int GetSize() const { return (int)mRecords.size(); }
  T* Get(int idx) const { return idx >= 0 && idx < GetSize() ? mRecords[(size_t)idx].get() : nullptr; }
  void Add(const T& record) { mRecords.push_back(std::make_unique<T>(record)); }
  // Deletes the record at idx; nothing outside the list.
  void Delete(int idx) {
    if (Get(idx)) mRecords.erase(mRecords.begin() + idx);
  }

private:
  std::vector<std::unique_ptr<T>> mRecords;
};
