// The eighteen scene pictures, by bare file name, with what each one shows in
// a few words: a screen reader says it in place of the picture, for players
// who hear the window rather than see it.
#pragma once

#include <array>
#include <string_view>

namespace suirei {

struct Picture {
    std::string_view file;
    std::string_view description;
};

inline constexpr std::array<Picture, 18> kPictures = {{
    {"ama.bmp", "甘橿の丘の蘇我の屋敷。出迎える者はいない"},
    {"amai.bmp", "甘橿の丘、屋敷の門前に立つ蘇我入鹿"},
    {"an1.bmp", "太刀を低く構え、入鹿に斬りかかる皇子"},
    {"an2.bmp", "驚く入鹿の頭上に振りかざした太刀"},
    {"an3.bmp", "入鹿に振り下ろされる太刀"},
    {"an4.bmp", "倒れる入鹿と、その前に立つ皇子"},
    {"dai.bmp", "大極殿の儀式。三韓の使者が控え、石川麻呂が上表文を読む"},
    {"hou.bmp", "法興寺の庭。人影はない"},
    {"houka.bmp", "法興寺の庭で待つ中臣鎌足"},
    {"houke.bmp", "法興寺の庭の蹴鞠。鞠を蹴る皇子を鎌足らが見守る"},
    {"iru.bmp", "大極殿で驚いて立ち上がる蘇我入鹿"},
    {"ka.bmp", "簾の下りた軽皇子の屋敷。留守のようだ"},
    {"karu.bmp", "縁側で甥を迎える軽皇子"},
    {"kou.bmp", "板葺宮の殿舎で皇子を迎える皇極天皇"},
    {"kuro.bmp", "夜の宮。戸の隙間に灯る明かり"},
    {"kuron.bmp", "霞たなびく飛鳥の山並みと、題字『翠嶺秘抄』"},
    {"sh.bmp", "戸の閉ざされた南淵請安の家。留守のようだ"},
    {"shou.bmp", "巻物に囲まれて書を読む南淵請安"},
}};

}  // namespace suirei
