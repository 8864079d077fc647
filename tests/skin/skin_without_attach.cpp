// A library of the skin library's name that lacks its attach function.
extern "C" __declspec(dllexport) int SkinH_Detach() {
    return 0;
}
