// The line splitter of the setup script (portable).
#include "token.h"

int Tokenizer::Split(const char*, const char*) { return 0; }
char* Tokenizer::CopyField(int k) const { return DuplicateString(fields_[k]); }
bool Tokenizer::IsKeyword(const char*) const { return false; }
bool Tokenizer::AssignKeyword(const char*, char**) const { return false; }
bool Tokenizer::CopyKeyword(const char*, char*, size_t) const { return false; }
bool EqualsIgnoringCase(const char*, const char*) { return false; }
