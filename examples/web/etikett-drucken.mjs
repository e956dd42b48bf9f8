// Prints one article label through "tarvel dienst" from Node.js (18 or later):
//   TARVEL_TOKEN=$(tarvel dienst --token) node etikett-drucken.mjs [ARTIKELNR]
// TARVEL_DIENST names another address than http://127.0.0.1:9180.
import { TarvelDienst, DienstFehler } from './tarvel-dienst.js';

const dienst = new TarvelDienst({ url: process.env.TARVEL_DIENST, token: process.env.TARVEL_TOKEN });
try {
  const { standarddrucker } = await dienst.status();
  const auftrag = await dienst.drucken([
    { art: 'label', felder: { ArtikelNr: process.argv[2] || 'NODE-4711', Preis1: '9,95', MatchCode: 'BEISPIEL' } },
  ]);
  console.log(`Auftrag ${auftrag.auftrag} auf ${standarddrucker}: ${auftrag.ziel}`);
} catch (e) {
  console.error(e instanceof DienstFehler ? `Fehler ${e.fehler}: ${e.message}` : e);
  process.exit(1);
}
