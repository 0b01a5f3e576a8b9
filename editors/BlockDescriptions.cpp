// The positions of the parameter and option blocks that carry a meaning the
// user may change, with the words the register's manual gives them. The
// other positions are kept and programmed back exactly as they were read.
#include "BlockEditor.h"

const TBlockDescription &SPBlocks() {
  static const TBlockDescription d = {
      SPDescription(),
      {{1, 1, "Port pentru PC"},
       {1, 2, "Parametrii Port 1"},
       {1, 3, "Parametrii Port 2"},
       {2, 21, "Nr. casa de marcat"},
       {2, 23, "Dimensiune retea"},
       {2, 24, "Port Scanner 1"},
       {2, 25, "Port Scanner 2"},
       {3, 3, "Port afisaj extern"},
       {3, 12, "Format Cod bare Intern 2"},
       {3, 13, "Format Cod bare Intern 02"},
       {3, 14, "Format Cod bare Intern 20"},
       {3, 15, "Format Cod bare Intern 21"},
       {3, 16, "Format Cod bare Intern 22"},
       {3, 17, "Format Cod bare Intern 23"},
       {3, 18, "Format Cod bare Intern 24"},
       {3, 19, "Format Cod bare Intern 25"},
       {3, 20, "Format Cod bare Intern 26"},
       {3, 21, "Format Cod bare Intern 27"},
       {3, 22, "Format Cod bare Intern 28"},
       {3, 23, "Format Cod bare Intern 29"},
       {3, 28, "Tip cantar electronic"},
       {3, 29, "Port cantar"},
       {3, 30, "Port Cititor Card Magnetic"},
       {3, 31, "Nr. Maxim Copie Bon"},
       {3, 32, "Tip POS Bancar"},
       {4, 1, "Port POS Bancar"}},
      366,
      85};
  return d;
}

const TBlockDescription &SOBlocks() {
  static const TBlockDescription d = {
      SODescription(),
      {{1, 1, "Activare Sunet la apasare tasta"},
       {1, 5, "Schimbare Casier in timpul bonului"},
       {4, 6, "Dezactiveaza Antet Grafic"},
       {5, 9, "Corectie doar pentru ultima inregistrare"},
       {5, 11, "Obligatoriu SUBTOTAL inainte de Plata"},
       {5, 12, "Tipareste SUBTOTAL cand se apasa tasta SUBTOTAL"},
       {5, 15, "Tipareste automat 1 Copie Bon"},
       {5, 16, "Tipareste automat 2 Copie Bon"},
       {5, 17, "Tipareste Total NET"},
       {5, 31, "Obligatoriu acopera total bon"},
       {6, 4, "Tiparire Copie Bon doar cu Forma de Plata"},
       {6, 12, "Dezactiveaza separator mii in sume"},
       {6, 14, "Tipareste STOC in raport PLU"},
       {6, 18, "Tasta X pentru Impartire"},
       {6, 20, "Afisaj extern VFD pe Port# 2"},
       {6, 31, "Afisaj extern CD 201"},
       {7, 8, "Intrare valoare zecimala"},
       {7, 11, "Denumire aditionala in raport PLU"},
       {8, 11, "Nu se suprascrie Stoc PLU din PC"},
       {8, 12, "Dezactivare Casier la pornire"},
       {8, 27, "Suma control partiala in cod bare cantar"},
       {9, 24, "Deschide Sertar cu SUBTOTAL"},
       {10, 17, "ID casa de marcat in BON"},
       {10, 18, "Copie bon doar de Manager"},
       {10, 26, "Activare sunet scurt"},
       {11, 8, "Denumire aditionala PLU pe bon"},
       {12, 24, "Tipareste Corectie pe Copie Bon"},
       {13, 23, "Afisaj extern CD701"},
       {14, 8, "Linii separare articol pe bon"},
       {14, 31, "Afisaj Extern CD203"}},
      455,
      81};
  return d;
}
