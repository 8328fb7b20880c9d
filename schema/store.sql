-- The local store of Ostrel: one SQLite file.
-- Columns keep the types of the original Jet store, enforced by CHECK:
-- SMALLINT is a two-byte integer, INTEGER a four-byte one, VARCHAR(n) a text
-- of at most n characters, DOUBLE a real, BOOLEAN a yes/no flag (0 or 1,
-- never null, 0 by default). Id is assigned by the program, not by the store.
-- Each statement ends with a semicolon at the end of a line.

-- Revenue residues (accertamenti), one row per residue.
CREATE TABLE tEntrate (
    Id INTEGER NOT NULL PRIMARY KEY
        CONSTRAINT "Id: intero da -2147483648 a 2147483647" CHECK (typeof(Id) = 'integer' AND Id BETWEEN -2147483648 AND 2147483647),
    Cap INTEGER
        CONSTRAINT "Cap: intero da -2147483648 a 2147483647" CHECK (Cap IS NULL OR (typeof(Cap) = 'integer' AND Cap BETWEEN -2147483648 AND 2147483647)),
    Art SMALLINT
        CONSTRAINT "Art: intero da -32768 a 32767" CHECK (Art IS NULL OR (typeof(Art) = 'integer' AND Art BETWEEN -32768 AND 32767)),
    Oggetto VARCHAR(255) CONSTRAINT "Oggetto: testo di al massimo 255 caratteri" CHECK (Oggetto IS NULL OR (typeof(Oggetto) = 'text' AND length(Oggetto) <= 255)),
    UEB VARCHAR(7) CONSTRAINT "UEB: testo di al massimo 7 caratteri" CHECK (UEB IS NULL OR (typeof(UEB) = 'text' AND length(UEB) <= 7)),
    Numero VARCHAR(8) CONSTRAINT "Numero: testo di al massimo 8 caratteri" CHECK (Numero IS NULL OR (typeof(Numero) = 'text' AND length(Numero) <= 8)),
    Sub SMALLINT
        CONSTRAINT "Sub: intero da -32768 a 32767" CHECK (Sub IS NULL OR (typeof(Sub) = 'integer' AND Sub BETWEEN -32768 AND 32767)),
    Anno SMALLINT
        CONSTRAINT "Anno: intero da -32768 a 32767" CHECK (Anno IS NULL OR (typeof(Anno) = 'integer' AND Anno BETWEEN -32768 AND 32767)),
    Descrizione VARCHAR(255) CONSTRAINT "Descrizione: testo di al massimo 255 caratteri" CHECK (Descrizione IS NULL OR (typeof(Descrizione) = 'text' AND length(Descrizione) <= 255)),
    Importo DOUBLE CONSTRAINT "Importo: numero" CHECK (Importo IS NULL OR typeof(Importo) = 'real'),
    CodResp SMALLINT
        CONSTRAINT "CodResp: intero da -32768 a 32767" CHECK (CodResp IS NULL OR (typeof(CodResp) = 'integer' AND CodResp BETWEEN -32768 AND 32767)),
    Responsabile VARCHAR(255) CONSTRAINT "Responsabile: testo di al massimo 255 caratteri" CHECK (Responsabile IS NULL OR (typeof(Responsabile) = 'text' AND length(Responsabile) <= 255)),
    ImportoBak DOUBLE CONSTRAINT "ImportoBak: numero" CHECK (ImportoBak IS NULL OR typeof(ImportoBak) = 'real'),
    ResEliminato DOUBLE CONSTRAINT "ResEliminato: numero" CHECK (ResEliminato IS NULL OR typeof(ResEliminato) = 'real'),
    ResAnno1 DOUBLE CONSTRAINT "ResAnno1: numero" CHECK (ResAnno1 IS NULL OR typeof(ResAnno1) = 'real'),
    ResAnno2 DOUBLE CONSTRAINT "ResAnno2: numero" CHECK (ResAnno2 IS NULL OR typeof(ResAnno2) = 'real'),
    ResAnno3 DOUBLE CONSTRAINT "ResAnno3: numero" CHECK (ResAnno3 IS NULL OR typeof(ResAnno3) = 'real'),
    ResOltre DOUBLE CONSTRAINT "ResOltre: numero" CHECK (ResOltre IS NULL OR typeof(ResOltre) = 'real'),
    ResMantenuto DOUBLE CONSTRAINT "ResMantenuto: numero" CHECK (ResMantenuto IS NULL OR typeof(ResMantenuto) = 'real'),
    Causale1 VARCHAR(255) CONSTRAINT "Causale1: testo di al massimo 255 caratteri" CHECK (Causale1 IS NULL OR (typeof(Causale1) = 'text' AND length(Causale1) <= 255)),
    Causale2 VARCHAR(255) CONSTRAINT "Causale2: testo di al massimo 255 caratteri" CHECK (Causale2 IS NULL OR (typeof(Causale2) = 'text' AND length(Causale2) <= 255)),
    Causale3 VARCHAR(255) CONSTRAINT "Causale3: testo di al massimo 255 caratteri" CHECK (Causale3 IS NULL OR (typeof(Causale3) = 'text' AND length(Causale3) <= 255))
);

-- Expenditure residues (impegni), one row per residue.
CREATE TABLE tUscite (
    Id INTEGER NOT NULL PRIMARY KEY
        CONSTRAINT "Id: intero da -2147483648 a 2147483647" CHECK (typeof(Id) = 'integer' AND Id BETWEEN -2147483648 AND 2147483647),
    Cap INTEGER
        CONSTRAINT "Cap: intero da -2147483648 a 2147483647" CHECK (Cap IS NULL OR (typeof(Cap) = 'integer' AND Cap BETWEEN -2147483648 AND 2147483647)),
    Art SMALLINT
        CONSTRAINT "Art: intero da -32768 a 32767" CHECK (Art IS NULL OR (typeof(Art) = 'integer' AND Art BETWEEN -32768 AND 32767)),
    Oggetto VARCHAR(255) CONSTRAINT "Oggetto: testo di al massimo 255 caratteri" CHECK (Oggetto IS NULL OR (typeof(Oggetto) = 'text' AND length(Oggetto) <= 255)),
    UEB VARCHAR(7) CONSTRAINT "UEB: testo di al massimo 7 caratteri" CHECK (UEB IS NULL OR (typeof(UEB) = 'text' AND length(UEB) <= 7)),
    Numero VARCHAR(8) CONSTRAINT "Numero: testo di al massimo 8 caratteri" CHECK (Numero IS NULL OR (typeof(Numero) = 'text' AND length(Numero) <= 8)),
    Sub SMALLINT
        CONSTRAINT "Sub: intero da -32768 a 32767" CHECK (Sub IS NULL OR (typeof(Sub) = 'integer' AND Sub BETWEEN -32768 AND 32767)),
    Anno SMALLINT
        CONSTRAINT "Anno: intero da -32768 a 32767" CHECK (Anno IS NULL OR (typeof(Anno) = 'integer' AND Anno BETWEEN -32768 AND 32767)),
    Descrizione VARCHAR(255) CONSTRAINT "Descrizione: testo di al massimo 255 caratteri" CHECK (Descrizione IS NULL OR (typeof(Descrizione) = 'text' AND length(Descrizione) <= 255)),
    Importo DOUBLE CONSTRAINT "Importo: numero" CHECK (Importo IS NULL OR typeof(Importo) = 'real'),
    CodResp SMALLINT
        CONSTRAINT "CodResp: intero da -32768 a 32767" CHECK (CodResp IS NULL OR (typeof(CodResp) = 'integer' AND CodResp BETWEEN -32768 AND 32767)),
    Responsabile VARCHAR(255) CONSTRAINT "Responsabile: testo di al massimo 255 caratteri" CHECK (Responsabile IS NULL OR (typeof(Responsabile) = 'text' AND length(Responsabile) <= 255)),
    ImportoBak DOUBLE CONSTRAINT "ImportoBak: numero" CHECK (ImportoBak IS NULL OR typeof(ImportoBak) = 'real'),
    AvLibero DOUBLE CONSTRAINT "AvLibero: numero" CHECK (AvLibero IS NULL OR typeof(AvLibero) = 'real'),
    AvAccantonato DOUBLE CONSTRAINT "AvAccantonato: numero" CHECK (AvAccantonato IS NULL OR typeof(AvAccantonato) = 'real'),
    AvVincolato DOUBLE CONSTRAINT "AvVincolato: numero" CHECK (AvVincolato IS NULL OR typeof(AvVincolato) = 'real'),
    AvDestinato DOUBLE CONSTRAINT "AvDestinato: numero" CHECK (AvDestinato IS NULL OR typeof(AvDestinato) = 'real'),
    ResAnno1 DOUBLE CONSTRAINT "ResAnno1: numero" CHECK (ResAnno1 IS NULL OR typeof(ResAnno1) = 'real'),
    ResAnno2 DOUBLE CONSTRAINT "ResAnno2: numero" CHECK (ResAnno2 IS NULL OR typeof(ResAnno2) = 'real'),
    ResAnno3 DOUBLE CONSTRAINT "ResAnno3: numero" CHECK (ResAnno3 IS NULL OR typeof(ResAnno3) = 'real'),
    ResOltre DOUBLE CONSTRAINT "ResOltre: numero" CHECK (ResOltre IS NULL OR typeof(ResOltre) = 'real'),
    FlCop1 BOOLEAN NOT NULL DEFAULT 0 CONSTRAINT "FlCop1: Sì/No (0 o 1)" CHECK (FlCop1 IN (0, 1)),
    FlCop2 BOOLEAN NOT NULL DEFAULT 0 CONSTRAINT "FlCop2: Sì/No (0 o 1)" CHECK (FlCop2 IN (0, 1)),
    FlCop3 BOOLEAN NOT NULL DEFAULT 0 CONSTRAINT "FlCop3: Sì/No (0 o 1)" CHECK (FlCop3 IN (0, 1)),
    FlCopOltre BOOLEAN NOT NULL DEFAULT 0 CONSTRAINT "FlCopOltre: Sì/No (0 o 1)" CHECK (FlCopOltre IN (0, 1)),
    ResMantenuto DOUBLE CONSTRAINT "ResMantenuto: numero" CHECK (ResMantenuto IS NULL OR typeof(ResMantenuto) = 'real'),
    Causale1 VARCHAR(255) CONSTRAINT "Causale1: testo di al massimo 255 caratteri" CHECK (Causale1 IS NULL OR (typeof(Causale1) = 'text' AND length(Causale1) <= 255)),
    Causale2 VARCHAR(255) CONSTRAINT "Causale2: testo di al massimo 255 caratteri" CHECK (Causale2 IS NULL OR (typeof(Causale2) = 'text' AND length(Causale2) <= 255)),
    Causale3 VARCHAR(255) CONSTRAINT "Causale3: testo di al massimo 255 caratteri" CHECK (Causale3 IS NULL OR (typeof(Causale3) = 'text' AND length(Causale3) <= 255)),
    Gara BOOLEAN NOT NULL DEFAULT 0 CONSTRAINT "Gara: Sì/No (0 o 1)" CHECK (Gara IN (0, 1))
);

-- Fund and constraint amounts of attachment 5/2: at most one row.
CREATE TABLE tFondiVincoli (
    Punto_a DOUBLE CONSTRAINT "Punto_a: numero" CHECK (Punto_a IS NULL OR typeof(Punto_a) = 'real'),
    FondoCredito DOUBLE CONSTRAINT "FondoCredito: numero" CHECK (FondoCredito IS NULL OR typeof(FondoCredito) = 'real'),
    FondoAl DOUBLE CONSTRAINT "FondoAl: numero" CHECK (FondoAl IS NULL OR typeof(FondoAl) = 'real'),
    VincoloLeggi DOUBLE CONSTRAINT "VincoloLeggi: numero" CHECK (VincoloLeggi IS NULL OR typeof(VincoloLeggi) = 'real'),
    VincoloTrasf DOUBLE CONSTRAINT "VincoloTrasf: numero" CHECK (VincoloTrasf IS NULL OR typeof(VincoloTrasf) = 'real'),
    VincoloMutui DOUBLE CONSTRAINT "VincoloMutui: numero" CHECK (VincoloMutui IS NULL OR typeof(VincoloMutui) = 'real'),
    VincoloEnte DOUBLE CONSTRAINT "VincoloEnte: numero" CHECK (VincoloEnte IS NULL OR typeof(VincoloEnte) = 'real'),
    VincoloAltro DOUBLE CONSTRAINT "VincoloAltro: numero" CHECK (VincoloAltro IS NULL OR typeof(VincoloAltro) = 'real'),
    Punto_m DOUBLE CONSTRAINT "Punto_m: numero" CHECK (Punto_m IS NULL OR typeof(Punto_m) = 'real')
);
