// The four employees: names, strengths, prices and every line they say.
#include <algorithm>
#include <string_view>

#include "core/Form.h"
#include "platform/Catalogue.h"

namespace pk {

// Fills the dialogue table: requests end with the answer prompt on line 4.
void Form1::SetMsg() {
  // Employee, kind (request codes 0..5, 7 permitted, 8 refused, 9 back), and
  // lines 0..3 as one message: the catalogues translate whole messages, each
  // in the context of its speaker.
  struct Row { int s, kind; const char* message; };
  static const Row kRows[] = {
      // TRANSLATORS: Shopin is cheerful and casual and calls the player
      // "Captain". A message has at most four lines, each within the
      // message area (about 170 pixels at 11 points bold).
      {0, 0, NC_("Shopin", "ねーねー、キャプテン、\nたまご買いに行っても\nいいかなー？")},
      {0, 1, NC_("Shopin", "ねー、キャプテン、\nあたしさー、エサ買いに\n行こうと思ってんだけど\nどーお？")},
      {0, 2, NC_("Shopin", "キャプテン、あのさー、\nピコラをもっと\n強くしたいんだけど\n鍛えてきていいかなあ？")},
      {0, 3, NC_("Shopin", "キャプテ～ン、\nあたし、疲れちゃったよー\n休んでていいでしょ？")},
      {0, 4, NC_("Shopin", "おーい、キャプテン！\nたまごをさー、\nあっためようよー！\nあたしがやってくるよ！")},
      {0, 5, NC_("Shopin", "キャプテンさん、\nそろそろピコラ\n売りに行こうよ!")},
      {0, 7, NC_("Shopin", "わーい！")},
      {0, 8, NC_("Shopin", "じゃあ、また今度ね！")},
      {0, 9, NC_("Shopin", "ただいま！")},
      // TRANSLATORS: Misa is formal and polite and addresses the player as
      // the company's president.
      {1, 0, NC_("Misa", "社長、\nわたくし、たまごを\n買いに行こうかと思う\nのですが…")},
      {1, 1, NC_("Misa", "社長、\nエサの補充をしても\nよろしいでしょうか？")},
      {1, 2, NC_("Misa", "社長、\nピコラを\n鍛えに行ってきて\nいいでしょうか？")},
      {1, 3, NC_("Misa", "もうしわけありませんが\nわたくし、休暇を\nいただきたいのですが…")},
      {1, 4, NC_("Misa", "社長、\nわたくし、たまごを\nあたためてまいります")},
      {1, 5, NC_("Misa", "ピコラを売りに\n行こうと思うのですが\n行ってきても\nよいでしょうか？")},
      {1, 7, NC_("Misa", "では、行ってまいります")},
      {1, 8, NC_("Misa", "…わかりました")},
      {1, 9, NC_("Misa", "戻りました")},
      // TRANSLATORS: Kushuri is sleepy, lazy and curt, and never addresses
      // the player.
      {2, 0, NC_("Kushuri", "あー、だりー…\nたまごでも\n買ってこようか…？")},
      {2, 1, NC_("Kushuri", "うー、ねみー…\nエサいる？")},
      {2, 2, NC_("Kushuri", "鍛えよっかなー…\nピコラ…")},
      {2, 3, NC_("Kushuri", "疲れた…\n休むぜ…")},
      {2, 4, NC_("Kushuri", "暇だな…\nたまご、\nあっためる？")},
      {2, 5, NC_("Kushuri", "売ってきてやろうか？")},
      {2, 7, NC_("Kushuri", "んじゃ、いってくる…")},
      {2, 8, NC_("Kushuri", "あっそ…")},
      {2, 9, NC_("Kushuri", "終わったぜ")},
      // TRANSLATORS: Pau is an old hand, gruff and folksy; he calls the
      // player "guv'nor" or the like.
      {3, 0, NC_("Pau", "だんな、\nわし、ちょっくら\nたまごでも買いに行く\nつもりなんだがよう…")},
      {3, 1, NC_("Pau", "おう、だんな、\nエサ買ってくらあ")},
      {3, 2, NC_("Pau", "ちょいと\nピコラのヤツらを\n鍛えてきまさあ")},
      {3, 3, NC_("Pau", "あー、だんなー、\nわし、ちょいと\n疲れちまったよ…\n休んでていいかい？")},
      {3, 4, NC_("Pau", "たまご、\nあっためて\nみますかい？")},
      {3, 5, NC_("Pau", "そろそろ\nピコラを\n売っちまいましょうぜ")},
      {3, 7, NC_("Pau", "よっしゃ！")},
      {3, 8, NC_("Pau", "ダメですかい…")},
      {3, 9, NC_("Pau", "終わりましたぜ！")},
  };
  for (const Row& r : kRows) {
    std::string_view rest = r.message;
    for (J = 0; J <= 3; ++J) {
      const std::string_view line = rest.substr(0, rest.find('\n'));
      Jmsg(r.s, r.kind, J) = std::string(line);
      rest.remove_prefix(std::min(rest.size(), line.size() + 1));
    }
    // TRANSLATORS: the last line of every request: Left permits, Right refuses.
    if (r.kind <= 5) Jmsg(r.s, r.kind, 4) = NC_("message", "[ 許可 ⇔ ダメ ]");
  }
}

// Names, job labels and the start values of each employee.
void Form1::Jtouroku() {
  // TRANSLATORS: the names stand in the staff panel before the stamina.
  const char* names[4] = {NC_("name", "ショピン"), NC_("name", "ミーサ"), NC_("name", "クシュリ"), NC_("name", "パウ")};
  // TRANSLATORS: what each employee is doing, in the staff panel: buying
  // eggs, buying feed, training the grown Pikora, resting, warming the eggs,
  // selling the Pikora, nothing.
  const char* labels[7] = {NC_("job", "たまご仕入れ中"), NC_("job", "エサ仕入れ中"), NC_("job", "ピコラ訓練中"),
                           NC_("job", "休憩"),           NC_("job", "たまご温め中"), NC_("job", "ピコラ販売中"),
                           NC_("job", "--------")};
  for (I = 0; I <= 6; ++I) SigotoMei(I) = labels[I];
  // Per employee: fatigue, training, rest length, warming, sale factor, egg price, feed price.
  const int hirou[4] = {15, 10, 40, 5};
  const int train[4] = {3, 4, 10, 8};
  const int rest[4] = {40, 30, 80, 40};
  const int warm[4] = {2, 3, 8, 5};
  const int sale[4] = {12, 12, 15, 10};
  const int eggPrice[4] = {100, 120, 80, 150};
  const int feedPrice[4] = {30, 40, 20, 50};
  for (I = 0; I <= 3; ++I) {
    Jname(I) = names[I];
    Jsigoto(I) = kIdle;
    Jtairyoku(I) = 100;
    Jhirou(I) = hirou[I];
    for (J = 0; J <= 5; ++J) Jkioku(I, J) = kIdle;
    Jnouryoku(I, 2, 0) = train[I];
    Jnouryoku(I, 3, 0) = rest[I];
    Jnouryoku(I, 4, 0) = warm[I];
    Jnouryoku(I, 5, 0) = sale[I];
    Jnouryoku(I, 0, 1) = eggPrice[I];
    Jnouryoku(I, 1, 1) = feedPrice[I];
  }
}

}  // namespace pk
