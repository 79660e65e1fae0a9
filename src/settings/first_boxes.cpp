#include "settings/first_boxes.h"

// Each language's text as its readers write it; the source is UTF-8, as
// are the program's strings.
FirstBoxTexts FirstBoxTextsFor(uint16_t ui_language) {
  const unsigned sublanguage = ui_language >> 10;
  switch (ui_language & 0x3FF) {
    case 0x07:  // German
      return {"Quillmarn - Fehler", "Die Datei „uninstall.dat“ wurde nicht gefunden:",
              "Diese Windows-Version nennt dem Deinstallationsprogramm den Namen seines eigenen Ordners nur mit "
              "veränderten Buchstaben:",
              "Damit es nie in einem anderen Ordner arbeitet, wurde nichts geändert. Windows 10 ab Version 1903 nennt "
              "den Namen genau."};
    case 0x0C:  // French
      return {"Quillmarn - Erreur", "Le fichier « uninstall.dat » est introuvable :",
              "Cette version de Windows ne donne au programme de désinstallation le nom de son propre dossier "
              "qu’avec des lettres modifiées :",
              "Pour ne jamais agir sur un autre dossier, rien n’a été modifié. Windows 10 version 1903 et versions "
              "ultérieures donnent le nom exact."};
    case 0x0A:  // Spanish
      return {"Quillmarn - Error", "No se encontró «uninstall.dat»:",
              "Esta versión de Windows solo da al desinstalador el nombre de su propia carpeta con letras cambiadas:",
              "Para no actuar nunca sobre otra carpeta, no se ha cambiado nada. Windows 10 versión 1903 y posteriores "
              "dan el nombre exacto."};
    case 0x10:  // Italian
      return {"Quillmarn - Errore", "Impossibile trovare «uninstall.dat»:",
              "Questa versione di Windows fornisce al programma di disinstallazione il nome della sua cartella solo "
              "con lettere modificate:",
              "Per non agire mai su un’altra cartella, non è stato modificato nulla. Windows 10 versione 1903 e "
              "successive forniscono il nome esatto."};
    case 0x16:  // Portuguese
      return {"Quillmarn - Erro", "Não foi possível encontrar “uninstall.dat”:",
              "Esta versão do Windows só informa ao desinstalador o nome da sua própria pasta com letras alteradas:",
              "Para nunca agir sobre outra pasta, nada foi alterado. O Windows 10 versão 1903 e posteriores informam "
              "o nome exato."};
    case 0x19:  // Russian
      return {"Quillmarn - Ошибка", "Не найден файл «uninstall.dat»:",
              "Эта версия Windows сообщает программе удаления имя её собственной папки только с изменёнными буквами:",
              "Чтобы не затронуть другую папку, ничего не было изменено. Windows 10 версии 1903 и новее сообщает "
              "имя точно."};
    case 0x15:  // Polish
      return {"Quillmarn - Błąd", "Nie znaleziono pliku „uninstall.dat”:",
              "Ta wersja systemu Windows podaje deinstalatorowi nazwę jego własnego folderu tylko ze zmienionymi "
              "literami:",
              "Aby nie ingerować w inny folder, niczego nie zmieniono. Windows 10 w wersji 1903 lub nowszej podaje "
              "nazwę dokładnie."};
    case 0x04:  // Chinese: Simplified for the PRC and Singapore, else English
      if (sublanguage != 0x02 && sublanguage != 0x04) break;
      return {"Quillmarn - 错误", "找不到“uninstall.dat”：",
              "此版本的 Windows 只能以更改过字母的形式向卸载程序提供其所在文件夹的名称：",
              "为避免对其他文件夹进行操作，未做任何更改。Windows 10 版本 1903 及更高版本会提供准确的名称。"};
    case 0x11:  // Japanese
      return {
          "Quillmarn - エラー", "「uninstall.dat」が見つかりません：",
          "このバージョンの Windows は、アンインストーラー自身のフォルダー名を、文字を置き換えた形でしか渡しません：",
          "別のフォルダーを操作しないよう、何も変更しませんでした。Windows 10 バージョン 1903 以降では正確な名前が"
          "渡されます。"};
    default:
      break;
  }
  return {"Quillmarn - Error", "Could not find 'uninstall.dat':",
          "This version of Windows gives the uninstaller the name of its own folder only with letters changed:",
          "So that it never acts on another folder, nothing was changed. Windows 10 version 1903 and later give the "
          "name exactly."};
}
