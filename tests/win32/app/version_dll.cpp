// A library whose only purpose is its file version; the tag makes libraries
// of equal version differ in content.
extern "C" __declspec(dllexport) const char* KvnVersionTag() {
    return KVN_VERSION_TAG;
}
