-- Splits every imported residue so that each attachment row and each listing
-- column has figures; ResMantenuto takes what is left, Importo becomes 0.
UPDATE tEntrate SET
    ResEliminato = CASE WHEN Id % 4 = 0 THEN round(ImportoBak * 0.25, 2) END,
    ResAnno1 = round(ImportoBak * 0.25, 2),
    ResAnno2 = CASE WHEN Id % 3 = 0 THEN round(ImportoBak * 0.2, 2) END,
    ResAnno3 = CASE WHEN Id % 5 = 0 THEN round(ImportoBak * 0.1, 2) END,
    ResOltre = CASE WHEN Id % 7 = 0 THEN round(ImportoBak * 0.05, 2) END,
    Causale1 = CASE WHEN Id % 4 = 0 THEN 'Insussistenza del credito' END,
    Causale2 = 'Esigibilità negli esercizi successivi',
    Causale3 = 'Credito esigibile';
UPDATE tEntrate SET
    ResMantenuto = ImportoBak - IFNULL(ResEliminato, 0) - ResAnno1 - IFNULL(ResAnno2, 0)
        - IFNULL(ResAnno3, 0) - IFNULL(ResOltre, 0),
    Importo = 0.0;
UPDATE tUscite SET
    AvLibero = CASE WHEN Id % 4 = 0 THEN round(ImportoBak * 0.1, 2) END,
    AvAccantonato = CASE WHEN Id % 6 = 0 THEN round(ImportoBak * 0.05, 2) END,
    AvVincolato = CASE WHEN Id % 9 = 0 THEN round(ImportoBak * 0.05, 2) END,
    AvDestinato = CASE WHEN Id % 10 = 0 THEN round(ImportoBak * 0.05, 2) END,
    ResAnno1 = round(ImportoBak * 0.3, 2),
    ResAnno2 = CASE WHEN Id % 3 = 0 THEN round(ImportoBak * 0.2, 2) END,
    ResAnno3 = CASE WHEN Id % 5 = 0 THEN round(ImportoBak * 0.1, 2) END,
    ResOltre = CASE WHEN Id % 7 = 0 THEN round(ImportoBak * 0.05, 2) END,
    FlCop1 = Id % 2, FlCop2 = (Id / 2) % 2, FlCop3 = (Id / 3) % 2, FlCopOltre = (Id / 5) % 2,
    Gara = CASE WHEN Id % 8 = 0 THEN 1 ELSE 0 END,
    Causale1 = CASE WHEN Id % 4 = 0 THEN 'Economia di spesa' END,
    Causale2 = 'Obbligazione esigibile negli esercizi successivi',
    Causale3 = 'Obbligazione esigibile';
UPDATE tUscite SET
    ResMantenuto = ImportoBak - IFNULL(AvLibero, 0) - IFNULL(AvAccantonato, 0)
        - IFNULL(AvVincolato, 0) - IFNULL(AvDestinato, 0) - ResAnno1 - IFNULL(ResAnno2, 0)
        - IFNULL(ResAnno3, 0) - IFNULL(ResOltre, 0),
    Importo = 0.0;
