#include "stores/addresses.h"

namespace tallow::stores {

std::string ContactEntry(const std::string& name, const std::string& address) { return name + ": " + address + "*"; }
std::vector<std::string> ParseAddressFile(const std::string&, int, size_t*) { return {}; }
std::string AddressFileText(const std::vector<std::string>&) { return {}; }
std::string EntryAddress(const std::string&) { return {}; }
std::string ToolbarAddress(const std::string&) { return {}; }
bool IsSafeBookName(const std::string&) { return false; }
std::string BookFolder(const std::string&, const std::string&) { return {}; }
std::string BookAddressFile(const std::string&, const std::string&) { return {}; }
std::string RootAddressFile(const std::string&) { return {}; }
bool ReadAddressFile(const std::string&, ListBox&) { return false; }
bool WriteAddressFile(const std::string&, const std::vector<std::string>&) { return false; }
bool AppendAddressEntry(const std::string&, const std::string&) { return false; }
void MakeFolder(const std::string&, const std::string&) {}
bool SaveList(const std::string&, const std::string&, const std::string&, ListBox&) { return false; }
void LoadList(const std::string&, const std::string&, const std::string&, ListBox&) {}
void ApplyDefaultRule(ListBox&, bool) {}

}  // namespace tallow::stores
