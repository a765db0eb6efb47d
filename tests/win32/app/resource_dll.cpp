// A library that only carries resources; tests load it as a data file.
extern "C" __declspec(dllexport) int KvnResourceLibrary() { return 1; }
