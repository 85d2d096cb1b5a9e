#pragma once
// The window's connection indicator and the status picture of each state.
namespace link_state {

constexpr int kNoNetwork = 1;  // the PC's own address is 127.0.0.1
constexpr int kNetwork = 2;    // a network address, no box login
constexpr int kLoggedIn = 3;

// The picture file of a state, relative to the working directory; any value
// but 2 and 3 shows the no-network picture.
inline const wchar_t* PicturePath(int state) {
    switch (state) {
        case kNetwork:
            return L"./status/CONN_2.PNG";
        case kLoggedIn:
            return L"./status/CONN_3.PNG";
        default:
            return L"./status/CONN_1.PNG";
    }
}

}  // namespace link_state
