#pragma once
#include <string>

// Creates folder/Pager.DBS with demo users unless a user table is already there.
bool SeedDemoFolder(const std::string& folder, std::string& error);
